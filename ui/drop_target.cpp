// Drops of local files.
#include "ui/drop_target.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "ui/native_text.h"

namespace pixmora {

namespace {

std::vector<std::string> LocalNames(const QMimeData* data) {
    std::vector<std::string> names;
    if (!data || !data->hasUrls()) return names;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) names.push_back(ToNative(url.toLocalFile()));
    }
    return names;
}

}  // namespace

TDropTarget::TDropTarget(QWidget* target, DropHandler handler)
    : QObject(target), handler_(std::move(handler)) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool TDropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (LocalNames(drag->mimeData()).empty()) {
                drag->ignore();
            } else {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const std::vector<std::string> names = LocalNames(drop->mimeData());
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // The drop is answered before the list is filled, so a large folder does not
            // hold the file manager's drag: the handler runs from the event loop, after
            // this event and after the drops made before it.
            if (!names.empty()) {
                QMetaObject::invokeMethod(
                    this, [this, names] { handler_(names); }, Qt::QueuedConnection);
            }
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace pixmora
