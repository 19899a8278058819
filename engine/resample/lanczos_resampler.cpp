// The two passes of the resize, in four-float lanes that the compiler turns into SIMD
// instructions whatever the optimisation level: across, one lane per pixel and one multiply
// and add per weight; down, four values of a row at a time.
#include "engine/resample/lanczos_resampler.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/codec/jpeg_errors.h"

namespace pixmora {

namespace {

using TLanes = TLanczosResampler::TLanes;

// Lanes FilterDown goes through at once: independent sums that keep the adder busy.
constexpr size_t kLaneGroup = 4;

// Lanes of one ring row: 3 x width floats and the spare one the last pixel's store
// writes, in whole groups.
size_t RingRowLanes(int32_t target_width) {
    const size_t floats = 3 * static_cast<size_t>(target_width) + 1;
    const size_t lanes = (floats + 3) / 4;
    return (lanes + kLaneGroup - 1) / kLaneGroup * kLaneGroup;
}

uint64_t TapsBytes(int32_t source_size, double span, int32_t target_size) {
    const auto taps = static_cast<uint64_t>(LanczosTapBound(source_size, span, target_size));
    return static_cast<uint64_t>(target_size) * (taps * sizeof(float) + 2 * sizeof(int32_t));
}

}  // namespace

uint64_t TLanczosResampler::MemoryNeed(int32_t source_width, int32_t source_height, double span_x,
                                       double span_y, int32_t target_width, int32_t target_height) {
    if (source_width <= 0 || source_height <= 0 || target_width <= 0 || target_height <= 0)
        return 0;
    const auto ring_rows =
        static_cast<uint64_t>(LanczosTapBound(source_height, span_y, target_height));
    const uint64_t row_lanes = RingRowLanes(target_width);
    const uint64_t source_lanes =
        static_cast<uint64_t>(source_width) + LanczosTapBound(source_width, span_x, target_width);
    return TapsBytes(source_width, span_x, target_width) +
           TapsBytes(source_height, span_y, target_height) +
           // The source row, the ring and the sums of one target row.
           (source_lanes + (ring_rows + 1) * row_lanes) * sizeof(TLanes);
}

TLanczosResampler::TLanczosResampler(int32_t source_width, int32_t source_height, double span_x,
                                     double span_y, TPixelBuffer& target)
    : target_(target), source_width_(source_width), source_height_(source_height) {
    try {
        across_ = LanczosTaps(source_width, span_x, target.Width());
        down_ = LanczosTaps(source_height, span_y, target.Height());
        row_.assign(static_cast<size_t>(source_width) + static_cast<size_t>(across_.taps),
                    TLanes{});
        ring_row_lanes_ = RingRowLanes(target.Width());
        ring_rows_ = down_.taps;
        ring_.resize(ring_row_lanes_ * static_cast<size_t>(ring_rows_));
        sums_.resize(ring_row_lanes_);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

void TLanczosResampler::AddRow(const uint8_t* rgb) {
    if (rows_in_ == source_height_) return;
    const size_t slot = static_cast<size_t>(rows_in_ % ring_rows_);
    FilterAcross(rgb, reinterpret_cast<float*>(&ring_[slot * ring_row_lanes_]));
    ++rows_in_;
    const int32_t target_height = target_.Height();
    while (next_target_row_ < target_height) {
        const auto y = static_cast<size_t>(next_target_row_);
        if (down_.first[y] + down_.count[y] > rows_in_) break;
        FilterDown(next_target_row_++);
    }
}

void TLanczosResampler::FilterAcross(const uint8_t* rgb, float* out) {
    TLanes* row = row_.data();
    for (int32_t x = 0; x < source_width_; ++x, rgb += 3)
        row[x] = TLanes{static_cast<float>(rgb[0]), static_cast<float>(rgb[1]),
                        static_cast<float>(rgb[2]), 0.0f};
    const int32_t taps = across_.taps;
    const float* weights = across_.weights.data();
    const int32_t* first = across_.first.data();
    const int32_t target_width = target_.Width();
    for (int32_t t = 0; t < target_width; ++t, weights += taps) {
        const TLanes* in = row + first[t];
        // Two sums, so that each add waits for the one before it half as often.
        TLanes even{}, odd{};
        int32_t k = 0;
        for (; k + 1 < taps; k += 2) {
            even += weights[k] * in[k];
            odd += weights[k + 1] * in[k + 1];
        }
        if (k < taps) even += weights[k] * in[k];
        even += odd;
        // The spare lane lands on the next pixel's red, which its own store then writes.
        std::memcpy(out + 3 * static_cast<size_t>(t), &even, sizeof even);
    }
}

void TLanczosResampler::FilterDown(int32_t target_row) {
    const auto y = static_cast<size_t>(target_row);
    const int32_t first = down_.first[y];
    const int32_t count = down_.count[y];
    const float* weights = &down_.weights[y * static_cast<size_t>(down_.taps)];
    const TLanes* rows[64];
    TLanes* sums = sums_.data();
    // Source rows in runs of up to 64 (longer only for reductions by more than 10): the
    // first run sets the sums, later ones add to them.
    for (int32_t done = 0; done < count;) {
        const int32_t run = std::min<int32_t>(count - done, 64);
        for (int32_t k = 0; k < run; ++k)
            rows[k] =
                &ring_[static_cast<size_t>((first + done + k) % ring_rows_) * ring_row_lanes_];
        const float* w = weights + done;
        for (size_t x = 0; x < ring_row_lanes_; x += kLaneGroup) {
            TLanes s0{}, s1{}, s2{}, s3{};
            if (done > 0) s0 = sums[x], s1 = sums[x + 1], s2 = sums[x + 2], s3 = sums[x + 3];
            for (int32_t k = 0; k < run; ++k) {
                const TLanes* in = rows[k] + x;
                s0 += w[k] * in[0];
                s1 += w[k] * in[1];
                s2 += w[k] * in[2];
                s3 += w[k] * in[3];
            }
            sums[x] = s0, sums[x + 1] = s1, sums[x + 2] = s2, sums[x + 3] = s3;
        }
        done += run;
    }
    // Rounded to the nearest level, overshoot clipped.
    uint8_t* out = target_.Row(target_row);
    const size_t values = 3 * static_cast<size_t>(target_.Width());
    const TLanes low{}, high{255.0f, 255.0f, 255.0f, 255.0f};
    size_t i = 0;
    for (size_t lane = 0; i < values; ++lane) {
        TLanes v = sums[lane];
        v = v < low ? low : v;
        v = v > high ? high : v;
        v += 0.5f;
        for (int e = 0; e < 4 && i < values; ++e, ++i) out[i] = static_cast<uint8_t>(v[e]);
    }
}

}  // namespace pixmora
