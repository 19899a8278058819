// The memory limit of the control group the process runs in (a container, a systemd
// slice), which bounds it below the machine's physical memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pixmora {

// The smallest memory limit set on this process's control group or any group above it,
// read from proc_root + "/self/cgroup" and the groups under cgroup_root: memory.max of the
// unified hierarchy ("max": none), memory.limit_in_bytes under "memory" of the older one.
// None when no limit is set or nothing can be read.
std::optional<uint64_t> ControlGroupMemoryLimit(const std::string& proc_root,
                                                const std::string& cgroup_root);

// Physical memory, or the control group's limit where that is smaller.
uint64_t UsableMemoryBytes();

}  // namespace pixmora
