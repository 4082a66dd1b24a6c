#include "BankFixture.h"
#include "engine/Decibels.h"

#include <cmath>

namespace calmfield {
namespace {

constexpr std::int16_t kHalf = 16384; // 0.5 of full scale

class ChannelGain : public testsupport::BankFixture {
  protected:
    ChannelGain() : channel(load(1, testsupport::constantStereo(500, kHalf))) { channel.play(); }

    // Left and right level once every ramp has settled.
    std::pair<float, float> settledLevels() {
        output.pull(2 * ramp());
        const auto out = output.pull(1);
        return {left(out, 0), right(out, 0)};
    }

    engine::NoiseChannel& channel;
};

TEST_F(ChannelGain, VolumeIsAttenuationInHundredthsOfADecibel) {
    EXPECT_FLOAT_EQ(settledLevels().first, 0.5f);
    channel.setVolume(-600);
    EXPECT_NEAR(settledLevels().first, 0.5 * std::pow(10.0, -0.3), 1e-6);
    channel.setVolume(-3000);
    EXPECT_NEAR(settledLevels().second, 0.5 * std::pow(10.0, -1.5), 1e-6);
    channel.setVolume(-2000);
    EXPECT_NEAR(settledLevels().first, 0.05, 1e-6);
    EXPECT_EQ(channel.volume(), -2000);
}

TEST_F(ChannelGain, NegativePanAttenuatesTheRightSideAndPositiveTheLeft) {
    channel.setPan(-3000);
    auto [l, r] = settledLevels();
    EXPECT_FLOAT_EQ(l, 0.5f);
    EXPECT_NEAR(r, 0.5 * std::pow(10.0, -1.5), 1e-6);

    channel.setPan(1000);
    std::tie(l, r) = settledLevels();
    EXPECT_NEAR(l, 0.5 * std::pow(10.0, -0.5), 1e-6);
    EXPECT_FLOAT_EQ(r, 0.5f);

    channel.setVolume(-1000);
    std::tie(l, r) = settledLevels();
    EXPECT_NEAR(l, 0.5 * std::pow(10.0, -1.0), 1e-6); // volume and pan add up in decibels
    EXPECT_NEAR(r, 0.5 * std::pow(10.0, -0.5), 1e-6);
}

TEST_F(ChannelGain, ChangesMadeWhileStoppedHoldWhenPlayBegins) {
    channel.stop();
    output.pull(2 * ramp());
    channel.setVolume(-2000);
    channel.setPan(-2000);
    channel.play();
    const auto out = output.pull(3 * ramp());
    for (std::size_t n = ramp() + latency(); n < 3 * ramp(); ++n) {
        ASSERT_NEAR(left(out, n), 0.05, 1e-6);
        ASSERT_NEAR(right(out, n), 0.005, 1e-7);
    }
}

TEST_F(ChannelGain, NoChangeStepsFurtherThanItsRamp) {
    // On a steady signal, any step in the output comes from a change of gain; the ramps spread
    // the largest change (full level to silence) over their length. A fade and a gain ramp may
    // run at once, so a step may reach twice a single ramp's.
    output.pull(2 * ramp());
    std::vector<float> out;
    const auto append = [&](std::size_t frames) {
        const auto more = output.pull(frames);
        out.insert(out.end(), more.begin(), more.end());
    };
    channel.setVolume(-3000);
    append(50);
    channel.setVolume(0);
    channel.setPan(3000);
    append(3 * ramp());
    channel.setPan(-3000);
    append(3);
    channel.stop();
    append(10);
    channel.play();
    append(3 * ramp());
    channel.setPosition(0);
    append(3 * ramp());

    const float largestAllowed = 2.0f * 0.5f / static_cast<float>(ramp()) * 1.001f;
    float previousLeft = 0.5f;
    float previousRight = 0.5f;
    for (std::size_t n = 0; n < out.size() / 2; ++n) {
        ASSERT_LE(std::abs(left(out, n) - previousLeft), largestAllowed) << "frame " << n;
        ASSERT_LE(std::abs(right(out, n) - previousRight), largestAllowed) << "frame " << n;
        previousLeft = left(out, n);
        previousRight = right(out, n);
    }
}

TEST_F(ChannelGain, OutOfRangeValuesAreHeldToWhatTheChannelTakes) {
    channel.setVolume(5000);
    EXPECT_EQ(channel.volume(), 0);
    channel.setVolume(-20000);
    EXPECT_EQ(channel.volume(), engine::NoiseChannel::kSilence);
    channel.setFrequency(0);
    EXPECT_EQ(channel.frequency(), engine::NoiseChannel::kLowestFrequency);
    channel.setFrequency(1 << 30);
    EXPECT_EQ(channel.frequency(), engine::NoiseChannel::kHighestFrequency);
}

TEST(Decibels, GainsFollowTheDecibelRules) {
    EXPECT_FLOAT_EQ(engine::gainOfHundredthsDb(0), 1.0f);
    EXPECT_NEAR(engine::gainOfHundredthsDb(-600), 0.501187, 1e-6);
    const auto centred = engine::stereoGain(-1500, 0);
    EXPECT_FLOAT_EQ(centred.left, centred.right);
    const auto left = engine::stereoGain(0, -600);
    EXPECT_FLOAT_EQ(left.left, 1.0f);
    EXPECT_NEAR(left.right, 0.501187, 1e-6);
}

} // namespace
} // namespace calmfield
