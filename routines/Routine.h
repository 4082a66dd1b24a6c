#pragma once

#include <QString>

#include <array>
#include <chrono>
#include <optional>

namespace calmfield::routines {

// A routine: on the days it names, the noise rises from silence at its start time, and falls back
// to silence by its end time, or plays until stopped. Times are the local wall clock's.
struct Routine {
    static constexpr int kMinutesADay = 24 * 60;
    static constexpr std::chrono::seconds kLongestRiseOrFall{60 * 60};

    bool on = true;
    std::array<bool, 7> days{}; // Monday first
    int startMinute = 0;        // after midnight
    std::optional<int> endMinute{};
    std::chrono::seconds rise{0};
    std::chrono::seconds fall{0};
    // The configuration file it plays, or empty for the mix that plays.
    QString mix{};

    bool operator==(const Routine&) const = default;
};

} // namespace calmfield::routines
