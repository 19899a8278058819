// A way for another thread to have something run on the window's thread: Wake may be
// called from any thread, and the handler given at construction runs soon after on the
// thread the target lives on. Nothing but the call itself crosses the threads: what the
// handler needs, it takes from state shared under a lock of its own.
#pragma once

#include <functional>

#include <QObject>

namespace pixmora {

class TWakeTarget : public QObject {
    Q_OBJECT
public:
    explicit TWakeTarget(std::function<void()> on_wake);

    void Wake();

private slots:
    void Woken();

private:
    const std::function<void()> on_wake_;
};

}  // namespace pixmora
