// Stop requests and the save gate.
#include "engine/run/run_control.h"

namespace pixmora {

void RunControl::RequestStop() {
    {
        // Set under the lock, so that a run between its test and its wait cannot miss it.
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
}

std::shared_lock<std::shared_mutex> RunControl::EnterSave() {
    std::shared_lock<std::shared_mutex> save(saves_);
    if (saves_closed_) {
        save.unlock();
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [] { return false; });
    }
    return save;
}

void RunControl::CloseSaves() {
    saves_closed_ = true;
    // Taken once the saves in progress are done; a save that got in meanwhile has seen
    // the flag and left.
    const std::unique_lock<std::shared_mutex> closing(saves_);
}

}  // namespace pixmora
