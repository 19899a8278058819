// Taking entries in list order around outputs in use.
#include "engine/run/output_order_queue.h"

#include <algorithm>

namespace pixmora {

namespace {

// Entries passed over before the queue waits instead of looking further ahead: a list
// naming one output many times must not be scanned whole for every entry taken.
constexpr std::size_t kLookAhead = 64;

}  // namespace

OutputOrderQueue::OutputOrderQueue(std::vector<std::string> outputs)
    : outputs_(std::move(outputs)) {}

bool OutputOrderQueue::IsFree(const std::string& output,
                              const std::vector<const std::string*>& wanted) const {
    for (std::size_t index : in_use_)
        if (outputs_[index] == output) return false;
    for (const std::string* earlier : wanted)
        if (*earlier == output) return false;
    return true;
}

std::optional<std::size_t> OutputOrderQueue::Take() {
    std::vector<const std::string*> wanted;  // outputs of the earlier entries still waiting
    for (auto held = held_.begin(); held != held_.end(); ++held) {
        const std::string& output = outputs_[*held];
        if (IsFree(output, wanted)) {
            const std::size_t index = *held;
            held_.erase(held);
            in_use_.push_back(index);
            return index;
        }
        wanted.push_back(&output);
    }
    while (next_ < outputs_.size() && held_.size() < kLookAhead) {
        const std::size_t index = next_++;
        const std::string& output = outputs_[index];
        if (IsFree(output, wanted)) {
            in_use_.push_back(index);
            return index;
        }
        held_.push_back(index);
        wanted.push_back(&output);
    }
    return std::nullopt;
}

void OutputOrderQueue::Finish(std::size_t index) {
    in_use_.erase(std::remove(in_use_.begin(), in_use_.end(), index), in_use_.end());
}

}  // namespace pixmora
