// Taking entries in list order around outputs in use.
#include "engine/run/output_order_queue.h"

#include <algorithm>

namespace pixmora {

void OutputOrderQueue::Add(std::size_t index, std::string output, std::string source) {
    paths_[index] = Paths{std::move(output), std::move(source)};
    waiting_.push_back(index);
}

std::optional<std::size_t> OutputOrderQueue::Take() {
    // Outputs of the entries taken and of the earlier ones still waiting.
    std::vector<const std::string*> busy;
    for (std::size_t index : in_use_) busy.push_back(&paths_[index].output);
    for (auto waiting = waiting_.begin(); waiting != waiting_.end(); ++waiting) {
        const Paths& paths = paths_[*waiting];
        const bool free = std::none_of(busy.begin(), busy.end(), [&](const std::string* output) {
            return *output == paths.output || *output == paths.source;
        });
        if (free) {
            const std::size_t index = *waiting;
            waiting_.erase(waiting);
            in_use_.push_back(index);
            return index;
        }
        busy.push_back(&paths.output);
    }
    return std::nullopt;
}

void OutputOrderQueue::Drop(std::size_t index) {
    waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), index), waiting_.end());
    paths_.erase(index);
}

void OutputOrderQueue::Finish(std::size_t index) {
    in_use_.erase(std::remove(in_use_.begin(), in_use_.end(), index), in_use_.end());
    paths_.erase(index);
}

}  // namespace pixmora
