// Docking and anchoring of a container's children.
#include "ui/anchor_layout.h"

#include <QEvent>
#include <QWidget>

namespace pixmora {

AnchorLayout::AnchorLayout(QWidget* container, int inset)
    : QObject(container), container_(container), inset_(inset) {
    container->installEventFilter(this);
}

void AnchorLayout::Place(QWidget* child, const QRect& bounds, Dock dock, unsigned anchors) {
    placements_.push_back({child, bounds, container_->size(), dock, anchors});
    child->setGeometry(bounds);
}

namespace {

// One axis of an anchored child: the designed start and length, moved or stretched by the
// growth of the container along that axis.
void FollowAxis(int start, int length, int growth, bool near, bool far, int* new_start,
                int* new_length) {
    *new_start = start;
    *new_length = length;
    if (far && near) {
        *new_length = length + growth;
    } else if (far) {
        *new_start = start + growth;
    }
}

}  // namespace

void AnchorLayout::Arrange() {
    QRect free = container_->rect().adjusted(inset_, inset_, -inset_, -inset_);
    // Docked children claim their side in this order, as the window design stacks them.
    for (Dock side : {Dock::kTop, Dock::kBottom, Dock::kLeft, Dock::kRight, Dock::kFill}) {
        for (const Placement& p : placements_) {
            if (p.dock != side || !p.child) continue;
            const int w = p.bounds.width();
            const int h = p.bounds.height();
            QRect r;
            switch (side) {
                case Dock::kTop:
                    r = QRect(free.left(), free.top(), free.width(), h);
                    free.setTop(free.top() + h);
                    break;
                case Dock::kBottom:
                    r = QRect(free.left(), free.bottom() + 1 - h, free.width(), h);
                    free.setBottom(free.bottom() - h);
                    break;
                case Dock::kLeft:
                    r = QRect(free.left(), free.top(), w, free.height());
                    free.setLeft(free.left() + w);
                    break;
                case Dock::kRight:
                    r = QRect(free.right() + 1 - w, free.top(), w, free.height());
                    free.setRight(free.right() - w);
                    break;
                default:
                    // Fill children share what is left; they do not take it from each other.
                    r = free;
                    break;
            }
            p.child->setGeometry(r);
        }
    }
    for (const Placement& p : placements_) {
        if (p.dock != Dock::kNone || !p.child) continue;
        const QSize growth = container_->size() - p.container_size;
        int x, y, w, h;
        FollowAxis(p.bounds.x(), p.bounds.width(), growth.width(), p.anchors & kAnchorLeft,
                   p.anchors & kAnchorRight, &x, &w);
        FollowAxis(p.bounds.y(), p.bounds.height(), growth.height(), p.anchors & kAnchorTop,
                   p.anchors & kAnchorBottom, &y, &h);
        p.child->setGeometry(x, y, w, h);
    }
}

bool AnchorLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == container_ && event->type() == QEvent::Resize) Arrange();
    return QObject::eventFilter(watched, event);
}

}  // namespace pixmora
