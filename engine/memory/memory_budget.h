// The memory one file's decoding may take: the target picture and libjpeg's working
// memory together, the whole-image coefficients of progressive and multi-scan files
// included. A file that needs more fails as an allocation failure before anything large
// is allocated.
#pragma once

#include <cstdint>

namespace pixmora {

// Half of the usable memory (UsableMemoryBytes): the budget of a whole run, however many
// files it decodes at once.
uint64_t DefaultMemoryBudget();

// What budget leaves to libjpeg once a width x height picture is taken from it. Throws
// EOutOfMemory when the picture cannot be allocated (see TPixelBuffer::SetSize) or does
// not fit in the budget.
uint64_t BudgetLeftBesidePicture(uint64_t budget, int32_t width, int32_t height);

}  // namespace pixmora
