#include "engine/DriftPaths.h"

#include <algorithm>
#include <cmath>

namespace calmfield::engine {
namespace {

// A path's speed forgets itself over this share of a typical swing, so that it turns a few times
// a swing and its changes a little later are unrelated.
constexpr double kSpeedMemoryShare = 1.0 / 20.0;
// The paths are steered to keep this much of half the depth: the floor is reckoned on each
// colour's long-run power, and a second of noise holds a little more or less of each.
constexpr double kFloorShare = 0.9;

// Roughly normal, mean 0 and deviation 1, never beyond 3: three uniform values summed.
double normalish(SplitMix64& random) noexcept {
    return 2.0 * (random.unit() + random.unit() + random.unit() - 1.5);
}

} // namespace

DriftPaths::DriftPaths() noexcept
    : random_{SplitMix64(0), SplitMix64(1), SplitMix64(2), SplitMix64(3), SplitMix64(4)} {}

void DriftPaths::setSetting(const DriftSetting& setting) noexcept {
    const DriftSetting next = setting.clamped();
    const bool restart = next.on && (!setting_.on || next.seed != setting_.seed);
    setting_ = next;
    if (restart)
        startPaths();
}

void DriftPaths::startPaths() noexcept {
    for (std::size_t colour = 0; colour < random_.size(); ++colour) {
        random_[colour] = SplitMix64((std::uint64_t{setting_.seed} << 3) + colour);
        velocities_[colour] = 0.0;
    }
}

double DriftPaths::keptShare(const PerColour& powers, const PerColour& levels) noexcept {
    double kept = 0.0;
    double whole = 0.0;
    for (std::size_t colour = 0; colour < powers.size(); ++colour) {
        whole += powers[colour];
        kept += powers[colour] * std::pow(10.0, levels[colour] / 10.0);
    }
    return whole > 0.0 ? kept / whole : 1.0;
}

void DriftPaths::step(const PerColour& powers) noexcept {
    const double limit = speedLimit();
    const double most = limit * kStepSeconds;
    if (!setting_.on) {
        for (double& level : levels_)
            level = std::min(0.0, level + most);
        return;
    }
    const double depth = setting_.depthDb;
    const double swing = typicalSwingSeconds(setting_.speed);
    const double memory = swing * kSpeedMemoryShare;
    const double keep = std::exp(-kStepSeconds / memory);
    // A typical swing crosses about half the depth.
    const double spread = 0.5 * depth * std::sqrt(1.0 / (2.0 * memory * swing));
    const double push = spread * std::sqrt(1.0 - keep * keep);

    PerColour next = levels_;
    for (std::size_t colour = 0; colour < next.size(); ++colour) {
        double& velocity = velocities_[colour];
        velocity = std::clamp(keep * velocity + push * normalish(random_[colour]), -limit, limit);
        if (levels_[colour] < -depth) {
            // Left below a depth made shallower: back up first.
            next[colour] = std::min(-depth, levels_[colour] + most);
            velocity = 0.0;
            continue;
        }
        next[colour] = levels_[colour] + velocity * kStepSeconds;
        if (next[colour] > 0.0 || next[colour] < -depth) {
            velocity = -velocity;
            next[colour] = std::clamp(next[colour], -depth, 0.0);
        }
    }

    const int playing = static_cast<int>(
        std::count_if(powers.begin(), powers.end(), [](double p) { return p > 0; }));
    if (playing >= 2) {
        const double floor = std::pow(10.0, -kFloorShare * depth / 20.0);
        if (keptShare(powers, levels_) < floor) {
            // The mix changed under the paths: every colour rises until the floor holds again.
            for (std::size_t colour = 0; colour < next.size(); ++colour) {
                next[colour] = std::min(0.0, levels_[colour] + most);
                velocities_[colour] = std::abs(velocities_[colour]);
            }
        } else if (keptShare(powers, next) < floor) {
            // Those going down turn back, and the mix can only gain.
            for (std::size_t colour = 0; colour < next.size(); ++colour) {
                if (next[colour] < levels_[colour]) {
                    velocities_[colour] = -velocities_[colour];
                    next[colour] = levels_[colour];
                }
            }
        }
    }
    levels_ = next;
}

} // namespace calmfield::engine
