// The machine's physical memory, the bound beyond which a picture is refused up front.
#pragma once

#include <cstdint>

namespace pixmora {

// Bytes of physical memory; the largest value when the system does not tell.
uint64_t PhysicalMemoryBytes();

}  // namespace pixmora
