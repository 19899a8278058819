// The order in which a run starts its listed files: list order, except that a file waits
// while an earlier file not yet done writes its output, or writes the file it reads, so
// that two files are never written to one path at once, the later one in the list wins,
// and a file made by an earlier entry is read once that entry has written it.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pixmora {

class OutputOrderQueue {
public:
    // Entry index (added in increasing order) with the identities of its output and its
    // source (see OutputIdentity).
    void Add(std::size_t index, std::string output, std::string source);
    // The first entry added and not yet taken that waits for no earlier entry; none when
    // every entry left waits (or none is left).
    std::optional<std::size_t> Take();
    // The taken entry is done with its output.
    void Finish(std::size_t index);
    // The entry, added and not taken, will not be taken.
    void Drop(std::size_t index);
    // Entries added and not yet taken.
    std::size_t Waiting() const { return waiting_.size(); }

private:
    struct Paths {
        std::string output;
        std::string source;
    };

    std::map<std::size_t, Paths> paths_;  // added and not finished
    std::deque<std::size_t> waiting_;     // added and not taken, in list order
    std::vector<std::size_t> in_use_;     // taken and not finished
};

}  // namespace pixmora
