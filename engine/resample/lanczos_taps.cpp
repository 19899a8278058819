// Weights from the Lanczos window, normalised per target index.
#include "engine/resample/lanczos_taps.h"

#include <algorithm>
#include <cmath>

namespace pixmora {

namespace {

constexpr double kLobes = 3.0;
constexpr double kPi = 3.14159265358979323846;

// How far the window stretches over source indices: a reduction widens it by its factor.
double WindowStretch(double span, int32_t target_size) { return std::max(1.0, span / target_size); }

}  // namespace

double Lanczos3(double x) {
    x = std::fabs(x);
    if (x < 1e-9) return 1.0;
    if (x >= kLobes) return 0.0;
    const double px = kPi * x;
    return kLobes * std::sin(px) * std::sin(px / kLobes) / (px * px);
}

int32_t LanczosTapBound(int32_t source_size, double span, int32_t target_size) {
    // The open window of width 2 x radius holds at most ceil(2 x radius) indices; one more
    // for rounding at its ends.
    const double radius = kLobes * WindowStretch(span, target_size);
    const double bound = std::floor(2.0 * radius) + 2.0;
    return bound >= source_size ? source_size : static_cast<int32_t>(bound);
}

TLanczosTaps LanczosTaps(int32_t source_size, double span, int32_t target_size) {
    const double step = span / target_size;
    const double stretch = WindowStretch(span, target_size);
    const double radius = kLobes * stretch;
    const int32_t last_index = source_size - 1;

    TLanczosTaps taps;
    taps.taps = LanczosTapBound(source_size, span, target_size);
    taps.first.resize(static_cast<size_t>(target_size));
    taps.count.resize(static_cast<size_t>(target_size));
    taps.weights.assign(static_cast<size_t>(target_size) * static_cast<size_t>(taps.taps), 0.0f);
    std::vector<double> run(static_cast<size_t>(taps.taps));
    int32_t longest = 1;
    for (int32_t t = 0; t < target_size; ++t) {
        const double centre = (t + 0.5) * step - 0.5;
        const auto low = static_cast<int64_t>(std::floor(centre - radius)) + 1;
        const auto high = static_cast<int64_t>(std::ceil(centre + radius)) - 1;
        // Indices past either edge are the edge pixel again: their weight goes to it.
        const auto first = static_cast<int32_t>(std::clamp<int64_t>(low, 0, last_index));
        const auto last = static_cast<int32_t>(std::clamp<int64_t>(high, 0, last_index));
        std::fill(run.begin(), run.end(), 0.0);
        double sum = 0.0;
        for (int64_t j = low; j <= high; ++j) {
            const double weight = Lanczos3((static_cast<double>(j) - centre) / stretch);
            const int64_t index = std::clamp<int64_t>(j, first, last);
            run[static_cast<size_t>(index - first)] += weight;
            sum += weight;
        }
        const int32_t count = last - first + 1;
        float* weights = &taps.weights[static_cast<size_t>(t) * static_cast<size_t>(taps.taps)];
        for (int32_t k = 0; k < count; ++k)
            weights[k] = static_cast<float>(run[static_cast<size_t>(k)] / sum);
        taps.first[static_cast<size_t>(t)] = first;
        taps.count[static_cast<size_t>(t)] = count;
        longest = std::max(longest, count);
    }
    // The row loops run over every stored weight: keep only as many as the longest run.
    if (longest < taps.taps) {
        for (int32_t t = 1; t < target_size; ++t)
            std::copy_n(&taps.weights[static_cast<size_t>(t) * static_cast<size_t>(taps.taps)],
                        longest,
                        &taps.weights[static_cast<size_t>(t) * static_cast<size_t>(longest)]);
        taps.weights.resize(static_cast<size_t>(target_size) * static_cast<size_t>(longest));
        taps.taps = longest;
    }
    return taps;
}

}  // namespace pixmora
