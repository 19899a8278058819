// Reading cgroup v2 and v1 memory limits (Linux; elsewhere the files are not there).
#include "engine/memory/memory_limit.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

#include "engine/memory/physical_memory.h"

namespace pixmora {

namespace {

// The number in a limit file; none for "max", an unreadable file or anything else.
std::optional<uint64_t> ReadLimit(const std::string& path) {
    std::ifstream file(path);
    std::string text;
    if (!(file >> text)) return std::nullopt;
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The smallest limit in file_name of the group at relative (under root) and of the groups
// above it, up to root.
std::optional<uint64_t> SmallestUpwards(const std::string& root, std::string relative,
                                        const std::string& file_name) {
    std::optional<uint64_t> smallest;
    for (;;) {
        while (!relative.empty() && relative.back() == '/') relative.pop_back();
        if (const auto limit = ReadLimit(root + relative + "/" + file_name))
            smallest = std::min(smallest.value_or(*limit), *limit);
        if (relative.empty()) return smallest;
        relative.erase(relative.rfind('/') == std::string::npos ? 0 : relative.rfind('/'));
    }
}

bool NamesMemoryController(const std::string& controllers) {
    std::istringstream list(controllers);
    for (std::string name; std::getline(list, name, ',');)
        if (name == "memory") return true;
    return false;
}

}  // namespace

std::optional<uint64_t> ControlGroupMemoryLimit(const std::string& proc_root,
                                                const std::string& cgroup_root) {
    std::ifstream groups(proc_root + "/self/cgroup");
    std::optional<uint64_t> smallest;
    // Lines "hierarchy:controllers:path"; the unified hierarchy has hierarchy 0 and no
    // controllers.
    for (std::string line; std::getline(groups, line);) {
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos) continue;
        const std::string hierarchy = line.substr(0, first);
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        if (path.empty() || path[0] != '/') continue;
        std::optional<uint64_t> limit;
        if (hierarchy == "0" && controllers.empty()) {
            limit = SmallestUpwards(cgroup_root, path, "memory.max");
        } else if (NamesMemoryController(controllers)) {
            limit = SmallestUpwards(cgroup_root + "/memory", path, "memory.limit_in_bytes");
        }
        if (limit) smallest = std::min(smallest.value_or(*limit), *limit);
    }
    return smallest;
}

uint64_t UsableMemoryBytes() {
    const uint64_t physical = PhysicalMemoryBytes();
    const auto limit = ControlGroupMemoryLimit("/proc", "/sys/fs/cgroup");
    return limit ? std::min(physical, *limit) : physical;
}

}  // namespace pixmora
