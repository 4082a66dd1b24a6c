#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace calmfield::instance {

inline constexpr std::chrono::seconds kShortestSleep{10};
inline constexpr std::chrono::seconds kLongestSleep{24 * 60 * 60};

// What readSleepDuration takes, for the user.
inline constexpr char kSleepDurationForms[] =
    "a number of minutes (\"45\"), or hours, minutes and seconds such as \"90s\", \"45m\", "
    "\"1h30m\" or \"2h\", from 10 seconds to 24 hours";

// Reads a duration: a plain number of minutes, or hours, minutes and seconds in that order, each
// with its letter ("1h30m", "90s"). Empty when it cannot be read or lies outside `shortest` to
// `longest`.
std::optional<std::chrono::seconds> readDuration(const QString& text, std::chrono::seconds shortest,
                                                 std::chrono::seconds longest);

// A sleep timer's duration, from kShortestSleep to kLongestSleep.
inline std::optional<std::chrono::seconds> readSleepDuration(const QString& text) {
    return readDuration(text, kShortestSleep, kLongestSleep);
}

} // namespace calmfield::instance
