// Resize arithmetic, kept bit-exact: 10245 pixels at 140 % give 14343 because the product
// is rounded once from extended precision, not formed in double.
#include "engine/resample/scale_dimension.h"

#include <cmath>

namespace pixmora {

int32_t ScaleDimension(int32_t dimension, double ratio) {
    const long double extended = static_cast<long double>(dimension) * ratio;
    const double product = static_cast<double>(extended);
    // Out-of-range conversions are undefined in C++: keep the 64-bit truncation explicit.
    uint64_t truncated = 0;
    if (std::isfinite(product) && std::fabs(product) < 9223372036854775808.0)
        truncated = static_cast<uint64_t>(static_cast<int64_t>(product));
    else
        truncated = uint64_t{1} << 63;  // the processor's "integer indefinite" value
    return static_cast<int32_t>(static_cast<uint32_t>(truncated));
}

}  // namespace pixmora
