// The target size of one picture dimension at a ratio.
#pragma once

#include <cstdint>

namespace pixmora {

// dimension x ratio, formed in extended precision, rounded to a double, truncated toward
// zero to 64 bits; the low 32 bits as a signed integer (larger products wrap around).
int32_t ScaleDimension(int32_t dimension, double ratio);

}  // namespace pixmora
