// Queued calls by name, so that the event carrying them is Qt's own.
#include "ui/wake_target.h"

namespace pixmora {

TWakeTarget::TWakeTarget(std::function<void()> on_wake) : on_wake_(std::move(on_wake)) {}

void TWakeTarget::Wake() { QMetaObject::invokeMethod(this, "Woken", Qt::QueuedConnection); }

void TWakeTarget::Woken() { on_wake_(); }

}  // namespace pixmora
