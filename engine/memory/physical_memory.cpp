// Physical memory size from the system's page count (POSIX sysconf, Linux and BSD).
#include "engine/memory/physical_memory.h"

#include <limits>

#include <unistd.h>

namespace pixmora {

uint64_t PhysicalMemoryBytes() {
    static const uint64_t bytes = [] {
        const long pages = sysconf(_SC_PHYS_PAGES);
        const long page_size = sysconf(_SC_PAGESIZE);
        if (pages <= 0 || page_size <= 0) return std::numeric_limits<uint64_t>::max();
        return static_cast<uint64_t>(pages) * static_cast<uint64_t>(page_size);
    }();
    return bytes;
}

}  // namespace pixmora
