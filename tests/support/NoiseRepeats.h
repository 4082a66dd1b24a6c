#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// Measures of whether a noise repeats itself, shared by the wandering tests and benchmarks.
namespace calmfield::testsupport {

inline std::vector<double> firstDifference(const std::vector<float>& x) {
    std::vector<double> d(x.size() - 1);
    for (std::size_t i = 0; i + 1 < x.size(); ++i)
        d[i] = static_cast<double>(x[i + 1]) - x[i];
    return d;
}

// Of x[a ..] with x[b ..], over n samples.
inline double correlation(const std::vector<double>& x, std::size_t a, std::size_t b,
                          std::size_t n) {
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ab += x[a + i] * x[b + i];
        aa += x[a + i] * x[a + i];
        bb += x[b + i] * x[b + i];
    }
    return ab / std::sqrt(aa * bb);
}

// The highest correlation, in windows of `window` every `window`, between the first difference
// and itself one and two periods later (as far as `steps` reaches).
inline double periodCorrelation(const std::vector<double>& steps, std::size_t period,
                                std::size_t window) {
    double highest = 0;
    for (std::size_t loops = 1; loops <= 2; ++loops)
        for (std::size_t at = 0; at + loops * period + window <= steps.size(); at += window)
            highest =
                std::max(highest, std::abs(correlation(steps, at, at + loops * period, window)));
    return highest;
}

struct LevelSpread {
    double deviation; // dB
    double range;     // dB
};

// Of the level in windows of `window` samples.
inline LevelSpread levelSpread(const std::vector<float>& x, std::size_t window) {
    std::vector<double> levels;
    for (std::size_t at = 0; at + window <= x.size(); at += window) {
        double power = 0;
        for (std::size_t i = at; i < at + window; ++i)
            power += static_cast<double>(x[i]) * x[i];
        levels.push_back(10.0 * std::log10(power / static_cast<double>(window) + 1e-30));
    }
    const auto count = static_cast<double>(levels.size());
    double mean = 0;
    for (double level : levels)
        mean += level / count;
    double variance = 0;
    for (double level : levels)
        variance += (level - mean) * (level - mean) / count;
    const auto [low, high] = std::minmax_element(levels.begin(), levels.end());
    return {std::sqrt(variance), *high - *low};
}

} // namespace calmfield::testsupport
