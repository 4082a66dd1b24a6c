#pragma once

#include <algorithm>
#include <cstdint>

namespace calmfield::engine {

// How fast drift moves a colour's level: a typical swing from one level to the next takes about
// five minutes, a minute or fifteen seconds.
enum class DriftSpeed : std::uint8_t { Slow, Medium, Fast };

// Drift: each ticked colour's level wanders slowly on a path of its own, between the level the
// user set and depthDb below it. The same seed gives the same paths.
struct DriftSetting {
    static constexpr int kShallowestDb = 1;
    static constexpr int kDeepestDb = 12;

    bool on = false;
    int depthDb = 6;
    DriftSpeed speed = DriftSpeed::Medium;
    std::uint32_t seed = 0;

    // Every field brought within its range.
    DriftSetting clamped() const {
        DriftSetting setting = *this;
        setting.depthDb = std::clamp(depthDb, kShallowestDb, kDeepestDb);
        return setting;
    }

    bool operator==(const DriftSetting&) const = default;
};

// The seconds a typical swing takes, and the fastest a level may change, at `speed`.
constexpr double typicalSwingSeconds(DriftSpeed speed) {
    return speed == DriftSpeed::Slow ? 300.0 : speed == DriftSpeed::Medium ? 60.0 : 15.0;
}
constexpr double fastestDbPerSecond(DriftSpeed speed) {
    return speed == DriftSpeed::Slow ? 0.25 : 1.0;
}

} // namespace calmfield::engine
