#pragma once

#include <QRect>

namespace calmfield::widgets {

// Window layouts are measured in twips, fifteen to a pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int pixels(int twips) {
    return twips / kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

} // namespace calmfield::widgets
