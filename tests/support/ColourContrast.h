#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>

namespace calmfield::testsupport {

// How far apart two colours stand in lightness, as the ratio of their relative luminances
// (sRGB, each offset by 0.05): 1 for the same colour, 21 for black on white.
inline double contrastRatio(const QColor& one, const QColor& other) {
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](double channel) {
            return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double a = luminance(one) + 0.05;
    const double b = luminance(other) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

} // namespace calmfield::testsupport
