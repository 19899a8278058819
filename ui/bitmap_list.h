// A list of small images that share one key colour, drawn transparent where the key is.
#pragma once

#include <vector>

#include <QColor>
#include <QImage>
#include <QPixmap>

class QPainter;

namespace pixmora {

class TBitmapList {
public:
    explicit TBitmapList(const QColor& key = QColor(255, 0, 255)) : key_(key) {}

    // Appends an image; its pixels of the key colour become transparent.
    void Add(const QImage& image);
    int Count() const { return static_cast<int>(images_.size()); }
    // The image at `index`, or a null pixmap when there is none.
    QPixmap Image(int index) const;
    // Draws the image at `index` with its top left at (x, y); nothing when there is none.
    void Draw(QPainter& painter, int x, int y, int index) const;

private:
    QColor key_;
    std::vector<QPixmap> images_;
};

}  // namespace pixmora
