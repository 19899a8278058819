// The default budget from the memory the process may use.
#include "engine/memory/memory_budget.h"

#include "engine/codec/jpeg_errors.h"
#include "engine/memory/memory_limit.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

uint64_t DefaultMemoryBudget() { return UsableMemoryBytes() / 2; }

uint64_t BudgetLeftBesidePicture(uint64_t budget, int32_t width, int32_t height) {
    const uint64_t picture = TPixelBuffer::CheckedByteCount(width, height);
    if (picture > budget) throw EOutOfMemory();
    return budget - picture;
}

}  // namespace pixmora
