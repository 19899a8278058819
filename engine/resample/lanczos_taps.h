// Lanczos-3 weights of a resize along one dimension, worked out once per picture so that the
// row loops only multiply and add.
#pragma once

#include <cstdint>
#include <vector>

namespace pixmora {

// The Lanczos window of 3 lobes: sinc(x) sinc(x / 3) for |x| < 3, 0 beyond.
double Lanczos3(double x);

// For each target index, the run of source indices it is made of and their weights.
struct TLanczosTaps {
    // Weights stored per target index: the longest run; shorter runs end in zeros.
    int32_t taps = 0;
    std::vector<int32_t> first;  // first source index of each run
    std::vector<int32_t> count;  // length of each run, 1 to taps
    std::vector<float> weights;  // taps per target index, each run summing to 1
};

// The taps of target_size indices spread evenly over the first `span` source indices of
// source_size (span at most source_size; less where a reduced decode rounded the size up
// and its last index covers only part of a source pixel). Target index t is centred on
// source position (t + 0.5) x span / target_size - 0.5; a reduction widens the window by
// its factor so that it also filters out what the target cannot hold. Positions outside the
// source take its edge index. All sizes above 0. Throws std::bad_alloc.
TLanczosTaps LanczosTaps(int32_t source_size, double span, int32_t target_size);

// The longest run LanczosTaps can give for these sizes (an upper bound, at most
// source_size).
int32_t LanczosTapBound(int32_t source_size, double span, int32_t target_size);

}  // namespace pixmora
