#include "engine/DriftPaths.h"
#include "engine/ColourGainStage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace calmfield::engine {
namespace {

constexpr DriftSpeed kSpeeds[] = {DriftSpeed::Slow, DriftSpeed::Medium, DriftSpeed::Fast};
constexpr int kStepsASecond = 16;
constexpr double kTolerance = 1e-9;

DriftPaths::PerColour firstColours(int count) {
    DriftPaths::PerColour powers{};
    for (int colour = 0; colour < count; ++colour)
        powers[static_cast<std::size_t>(colour)] = 1.0 / (colour + 1);
    return powers;
}

double keptDecibels(const DriftPaths::PerColour& powers, const DriftPaths::PerColour& levels) {
    double kept = 0, whole = 0;
    for (std::size_t colour = 0; colour < powers.size(); ++colour) {
        whole += powers[colour];
        kept += powers[colour] * std::pow(10.0, levels[colour] / 10.0);
    }
    return 10 * std::log10(kept / whole);
}

// Steps the paths for `seconds`, checking each step's levels against the depth and the speed's
// limit; gives the lowest level and the lowest share of the mix kept.
struct Extremes {
    double lowestLevel = 0;
    double lowestKeptDb = 0;
};
Extremes runChecked(DriftPaths& paths, const DriftSetting& setting, int seconds,
                    const DriftPaths::PerColour& powers) {
    Extremes extremes;
    const double most = fastestDbPerSecond(setting.speed) * DriftPaths::kStepSeconds + kTolerance;
    for (int step = 0; step < seconds * kStepsASecond; ++step) {
        const DriftPaths::PerColour before = paths.levelsDb();
        paths.step(powers);
        for (std::size_t colour = 0; colour < powers.size(); ++colour) {
            const double level = paths.levelsDb()[colour];
            EXPECT_LE(std::abs(level - before[colour]), most) << step;
            EXPECT_LE(level, 0.0);
            if (before[colour] >= -setting.depthDb) {
                EXPECT_GE(level, -setting.depthDb - kTolerance);
            }
            extremes.lowestLevel = std::min(extremes.lowestLevel, level);
        }
        extremes.lowestKeptDb =
            std::min(extremes.lowestKeptDb, keptDecibels(powers, paths.levelsDb()));
        if (::testing::Test::HasFailure())
            break;
    }
    return extremes;
}

// Within the depth, never above the level set, never faster than the speed allows, also while the
// depth is made shallower and drift is turned off.
TEST(DriftPaths, StayWithinTheDepthAndTheSpeedsLimit) {
    for (const DriftSpeed speed : kSpeeds) {
        SCOPED_TRACE(static_cast<int>(speed));
        DriftPaths paths;
        DriftSetting setting{.on = true, .depthDb = 12, .speed = speed, .seed = 7};
        paths.setSetting(setting);
        EXPECT_LT(runChecked(paths, setting, 2 * 3600, firstColours(1)).lowestLevel, -11);
        setting.depthDb = 2;
        paths.setSetting(setting);
        runChecked(paths, setting, 60, firstColours(1));
        EXPECT_GE(paths.levelsDb()[0], -2.0);
        setting.on = false;
        paths.setSetting(setting);
        runChecked(paths, setting, 10, firstColours(1));
        EXPECT_EQ(paths.levelsDb()[0], 0.0);
    }
}

// Two colours and five: the mix never falls more than half the depth; one alone is free.
TEST(DriftPaths, KeepTheMixWithinHalfTheDepthOfTwoOrMoreColours) {
    for (const int colours : {2, 5}) {
        DriftPaths paths;
        const DriftSetting setting{.on = true, .depthDb = 10, .speed = DriftSpeed::Fast, .seed = 3};
        paths.setSetting(setting);
        const Extremes extremes = runChecked(paths, setting, 10 * 3600, firstColours(colours));
        EXPECT_GE(extremes.lowestKeptDb, -5.0 - kTolerance) << colours;
        EXPECT_LT(extremes.lowestKeptDb, -4.0) << colours << " colours may still go that low";
    }
    DriftPaths alone;
    const DriftSetting setting{.on = true, .depthDb = 10, .speed = DriftSpeed::Fast, .seed = 3};
    alone.setSetting(setting);
    EXPECT_LT(runChecked(alone, setting, 3600, firstColours(1)).lowestKeptDb, -9.0);
}

// Over ten hours the level's changes a second are unrelated to those well past a swing before.
TEST(DriftPaths, NeverRepeatOverTenHours) {
    for (const DriftSpeed speed : kSpeeds) {
        DriftPaths paths;
        paths.setSetting({.on = true, .depthDb = 6, .speed = speed, .seed = 2718281828u});
        std::vector<double> changes;
        double last = 0;
        for (int second = 0; second < 10 * 3600; ++second) {
            for (int step = 0; step < kStepsASecond; ++step)
                paths.step(firstColours(1));
            changes.push_back(paths.levelsDb()[0] - last);
            last = paths.levelsDb()[0];
        }
        double mean = 0;
        for (double change : changes)
            mean += change / static_cast<double>(changes.size());
        double variance = 0;
        for (double& change : changes) {
            change -= mean;
            variance += change * change;
        }
        double worst = 0;
        const auto firstLag = static_cast<std::size_t>(4 * typicalSwingSeconds(speed));
        for (std::size_t lag = firstLag; lag <= 2 * 3600; ++lag) {
            double sum = 0;
            for (std::size_t i = 0; i + lag < changes.size(); ++i)
                sum += changes[i] * changes[i + lag];
            worst = std::max(worst, std::abs(sum / variance));
        }
        EXPECT_LT(worst, 0.1) << static_cast<int>(speed);
    }
}

// The same seed gives the same paths, however the sound is asked for; another seed, others.
TEST(DriftPaths, FollowTheirSeedWhateverTheBlocks) {
    const ColourGainStage::PerColour powers = firstColours(3);
    const auto levelsAfter = [&](std::uint32_t seed, std::size_t block) {
        ColourGainStage stage;
        stage.setDrift({.on = true, .depthDb = 6, .speed = DriftSpeed::Fast, .seed = seed});
        constexpr std::size_t kFrames = 48000 * 90;
        for (std::size_t done = 0; done <= kFrames; done += block)
            stage.advance(block, 48000, powers);
        // Where the last block began, 90 s in give or take a block.
        return std::vector<float>{stage.levelDb(0), stage.levelDb(1), stage.levelDb(2)};
    };
    const auto inBlocksOf480 = levelsAfter(5, 480);
    const auto inBlocksOf960 = levelsAfter(5, 960);
    for (std::size_t colour = 0; colour < 3; ++colour)
        EXPECT_NEAR(inBlocksOf480[colour], inBlocksOf960[colour], 1e-4);
    EXPECT_NE(levelsAfter(6, 480), inBlocksOf480);
}

} // namespace
} // namespace calmfield::engine
