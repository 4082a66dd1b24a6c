#pragma once

#include <QString>

#include <chrono>

namespace calmfield::routineswindow {

// The places of the rise and fall sliders: five seconds a step up to a minute, then a minute a
// step up to an hour.
inline constexpr int kLongestRiseOrFallPosition = 71;

std::chrono::seconds riseOrFallAt(int position);
// Where `seconds` lies between the places, unrounded.
double positionOfRiseOrFall(double seconds);

// "0 s", "45 s", "20 min" or "1 min 30 s".
QString riseOrFallText(std::chrono::seconds length);

} // namespace calmfield::routineswindow
