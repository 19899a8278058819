// What other threads may ask of a run under way: to stop starting files, and to hold every
// save back so that the process can end with no file half written. The run waits on it,
// so a stop request wakes the run at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <shared_mutex>

namespace pixmora {

class RunControl {
public:
    // From any thread: no new file is started; the files in progress are finished.
    void RequestStop();
    bool StopRequested() const { return stop_.load(); }

    // The lock a run keeps its shared state under, and its wait for a change of that state
    // or a stop request. WakeAll is called after a change, with or without the lock.
    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }
    void Wait(std::unique_lock<std::mutex>& lock) { changed_.wait(lock); }
    void WakeAll() { changed_.notify_all(); }

    // Held by a save while it encodes and writes its file. Once the saves are closed, it
    // never returns.
    std::shared_lock<std::shared_mutex> EnterSave();
    // Returns once no save is in progress; every later save then waits for good. Saves
    // that keep starting cannot hold it back: those entering after the call wait. Called
    // just before the process ends at once.
    void CloseSaves();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> stop_{false};
    std::shared_mutex saves_;
    // Set before the exclusive lock is asked for: the system's lock lets readers in ahead
    // of a waiting writer, so saves must step back by themselves.
    std::atomic<bool> saves_closed_{false};
};

}  // namespace pixmora
