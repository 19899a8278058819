// Makes a widget take files and folders dragged from a file manager and hands their names
// over, in the order the drop gives them, once per drop, after the drop has been answered.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QObject>

class QWidget;

namespace pixmora {

using DropHandler = std::function<void(const std::vector<std::string>& names)>;

class TDropTarget : public QObject {
    Q_OBJECT
public:
    // Registers target (accepting drops) and sends every drop of local files on it to
    // handler, from the event loop once the drop event has returned; drops reach it in the
    // order they were made. The target owns the filter.
    TDropTarget(QWidget* target, DropHandler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DropHandler handler_;
};

}  // namespace pixmora
