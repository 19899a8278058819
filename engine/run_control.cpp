// Stop requests and the save gate.
#include "engine/run_control.h"

namespace pixmora {

void RunControl::RequestStop() {
    {
        // Set under the lock, so that a run between its test and its wait cannot miss it.
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
}

void RunControl::CloseSaves() { saves_closed_ = std::unique_lock<std::shared_mutex>(saves_); }

}  // namespace pixmora
