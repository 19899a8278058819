// The file list: one line per item, each with a status image. An item's text carries its
// image number after a "|" ("photo.jpg|1"); the list shows what comes before the "|".
#pragma once

#include <vector>

#include <QFontMetrics>
#include <QListWidget>

namespace pixmora {

class TBitmapList;

// How an item text is shown: the text before the first "|" (all of it when there is none)
// and the number of its image, or -1 for no image: no "|" at all (`default_image`), or no
// plain signed decimal number after the first "|".
struct ListItemLook {
    QString display;
    int image;
};
ListItemLook LookOfItem(const QString& item_text, int default_image = -1);

class TImageListBox : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 20;
    static constexpr int kMargin = 1;
    static constexpr int kImageSize = 16;
    static constexpr int kImageTextGap = 2;

    explicit TImageListBox(QWidget* parent = nullptr);

    // The images the item numbers refer to; the list does not own them.
    void SetImages(const TBitmapList* images);
    const TBitmapList* Images() const { return images_; }
    int DefaultItem() const { return -1; }
    // The width of the widest line, image and text, measured bold: every line is that wide,
    // so the list lays out any number of lines without measuring them again.
    int LineWidth() const;

    void Clear();
    void AddItem(const QString& text);
    // The display and the image follow the new text; the selection stays.
    void ReplaceItem(int index, const QString& text);
    QString ItemText(int index) const;
    int ItemCount() const { return count(); }

    // The selected position, -1 when none.
    int ItemIndex() const;
    // Selects `index` (none when out of range) without raising Click.
    void SetItemIndex(int index);

    // Clear and any other emptying of the list: the measured widths go with the lines.
    void reset() override;

signals:
    // The user chose an item with the mouse or the keyboard.
    void Click();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

    // The text widths follow the lines as they come, change and go.
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void dataChanged(const QModelIndex& top_left, const QModelIndex& bottom_right,
                     const QList<int>& roles = QList<int>()) override;

private:
    int TextWidth(int row) const;
    // Measures every line again (a new font); false when the widest width stayed.
    bool MeasureAll();
    // Takes the widest of the widths; false when it stayed.
    bool SettleWidest();

    const TBitmapList* images_ = nullptr;
    QFontMetrics bold_metrics_;
    std::vector<int> text_widths_;  // of each line's display text, in line order
    int widest_text_ = 0;
};

}  // namespace pixmora
