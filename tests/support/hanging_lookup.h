// A name lookup that hangs until the test lets it go, as a resolver that never answers
// would (at most 10 s, so a test never hangs on it). The lookup's thread may outlive the
// wait for it, so it shares its gate.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "update/host_lookup.h"

namespace pixmora::test {

class HangingLookup {
public:
    // Lets every lookup still hanging end, answering 127.0.0.1.
    ~HangingLookup() { Release(); }

    HostLookup Function() const {
        return [gate = gate_](const std::string&) -> std::uint32_t {
            std::unique_lock<std::mutex> lock(gate->mutex);
            gate->entered = true;
            gate->changed.notify_all();
            gate->changed.wait_for(lock, std::chrono::seconds(10), [&] { return gate->released; });
            return 0x7F000001;
        };
    }
    // Waits (bounded) until a lookup has started.
    bool WaitUntilEntered() {
        std::unique_lock<std::mutex> lock(gate_->mutex);
        return gate_->changed.wait_for(lock, std::chrono::seconds(5),
                                       [&] { return gate_->entered; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(gate_->mutex);
        gate_->released = true;
        gate_->changed.notify_all();
    }

private:
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        bool entered = false;
        bool released = false;
    };
    std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
};

}  // namespace pixmora::test
