// Keeps the children of one container where the window design puts them when the container
// is resized: docked children along their side, anchored children at fixed distances from
// the anchored sides of the container.
#pragma once

#include <vector>

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace pixmora {

enum class Dock { kNone, kTop, kBottom, kLeft, kRight, kFill };

enum Anchor : unsigned {
    kAnchorLeft = 1,
    kAnchorTop = 2,
    kAnchorRight = 4,
    kAnchorBottom = 8,
    kAnchorsTopLeft = kAnchorLeft | kAnchorTop,
    kAnchorsAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom,
};

class AnchorLayout : public QObject {
public:
    // `inset` is the container's border: docked children stay inside it.
    AnchorLayout(QWidget* container, int inset);

    // Gives `child` its designed bounds and remembers how it follows the container, whose
    // size at this moment is the designed size. Docked children are stacked in the order
    // they are placed, the first nearest to its side; `anchors` applies to undocked ones.
    void Place(QWidget* child, const QRect& bounds, Dock dock, unsigned anchors = kAnchorsTopLeft);

    // Lays the children out for the container's current size.
    void Arrange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Placement {
        QPointer<QWidget> child;
        QRect bounds;
        QSize container_size;
        Dock dock;
        unsigned anchors;
    };

    QWidget* container_;
    int inset_;
    std::vector<Placement> placements_;
};

}  // namespace pixmora
