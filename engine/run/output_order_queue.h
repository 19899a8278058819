// The order in which a parallel run takes its listed files: list order, except that a file
// waits while an earlier file with the same output is not finished, so that two files are
// never written to one path at the same time and the later one in the list wins.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pixmora {

class OutputOrderQueue {
public:
    // outputs[i]: the output identity of entry i.
    explicit OutputOrderQueue(std::vector<std::string> outputs);

    // The first entry not yet taken whose output no earlier unfinished entry has; none when
    // every entry left waits for one (or none is left).
    std::optional<std::size_t> Take();
    // The taken entry is done with its output.
    void Finish(std::size_t index);
    // Every entry has been taken.
    bool AllTaken() const { return next_ == outputs_.size() && held_.empty(); }

private:
    // Whether the output is free: no taken entry holds it and no entry held back wants it.
    bool IsFree(const std::string& output, const std::vector<const std::string*>& wanted) const;

    std::vector<std::string> outputs_;
    std::size_t next_ = 0;             // first entry never looked at
    std::deque<std::size_t> held_;     // entries passed over, in list order
    std::vector<std::size_t> in_use_;  // taken and not finished
};

}  // namespace pixmora
