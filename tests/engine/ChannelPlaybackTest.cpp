#include "BankFixture.h"

#include <cmath>

namespace calmfield {
namespace {

constexpr std::size_t kFrames = 1000;

class ChannelPlayback : public testsupport::BankFixture {
  protected:
    ChannelPlayback() : sound(testsupport::randomStereo(kFrames, 11)), channel(load(0, sound)) {}

    // The sound's frame at `frame`, continued periodically.
    float soundLeft(std::size_t frame) const { return scaled(sound[2 * (frame % kFrames)]); }
    float soundRight(std::size_t frame) const { return scaled(sound[2 * (frame % kFrames) + 1]); }

    // Checks that the mix in `out`, from its frame `from` on, is the sound continued from frame
    // `start`; the mix reaches `out` the mixer's latency late.
    void expectContinuation(const std::vector<float>& out, std::size_t from,
                            std::size_t start) const {
        for (std::size_t n = from; n + latency() < out.size() / 2; ++n) {
            ASSERT_EQ(left(out, n + latency()), soundLeft(start + n)) << "frame " << n;
            ASSERT_EQ(right(out, n + latency()), soundRight(start + n)) << "frame " << n;
        }
    }

    std::vector<std::int16_t> sound;
    engine::NoiseChannel& channel;
};

TEST_F(ChannelPlayback, ALoopRendersAcrossItsWrapExactlyAsThePeriodicContinuation) {
    channel.setPosition(static_cast<std::int32_t>(kFrames - 300));
    channel.play();
    const auto out = output.pull(2 * kFrames + 500); // wraps twice
    expectContinuation(out, ramp(), kFrames - 300);
}

TEST_F(ChannelPlayback, NothingSoundsBeforePlayAndAfterTheStopFade) {
    EXPECT_EQ(output.pull(200), std::vector<float>(400, 0.0f));
    channel.play();
    output.pull(300);
    channel.stop();
    const auto out = output.pull(ramp() + latency() + 200);
    for (std::size_t n = ramp() + latency(); n < out.size() / 2; ++n)
        ASSERT_EQ(left(out, n), 0.0f);
}

TEST_F(ChannelPlayback, StopThenPlayResumesWhereItStopped) {
    channel.play();
    output.pull(400);
    channel.stop();
    output.pull(ramp() + 500); // the fade-out plays on, then the position holds
    channel.play();
    const auto out = output.pull(600);
    expectContinuation(out, ramp(), 400 + ramp() - 1);
}

TEST_F(ChannelPlayback, PositionZeroRestartsTheSound) {
    channel.play();
    output.pull(700);
    channel.stop();
    channel.setPosition(0);
    output.pull(ramp() + 10);
    channel.play();
    const auto out = output.pull(500);
    expectContinuation(out, ramp(), 0);
}

TEST_F(ChannelPlayback, AJumpWhilePlayingFadesOutThenPlaysFromTheNewPosition) {
    channel.play();
    output.pull(300);
    channel.setPosition(0);
    const auto out = output.pull(700);
    // The old position fades out over one ramp, then the sound starts again from its beginning.
    expectContinuation(out, 2 * ramp(), kFrames - (ramp() - 1));
}

TEST_F(ChannelPlayback, PlayingAPlayingChannelChangesNothing) {
    channel.play();
    output.pull(500);
    channel.play();
    const auto out = output.pull(500);
    expectContinuation(out, 0, 500);
}

TEST_F(ChannelPlayback, FrequencyIsTheFilesOwnRateUntilOneIsSet) {
    EXPECT_EQ(channel.frequency(), 22050);
    channel.setFrequency(32767);
    EXPECT_EQ(channel.frequency(), 32767);
    channel.setFrequency(1000);
    EXPECT_EQ(channel.frequency(), 1000);
}

class ChannelPitch : public testsupport::BankFixture {
  protected:
    ChannelPitch() : BankFixture(48000) {}

    // Frequency of the left side of `out` from its upward zero crossings.
    static double measuredFrequency(const std::vector<float>& out, double rate) {
        std::vector<double> crossings;
        for (std::size_t n = 1; n < out.size() / 2; ++n) {
            const float before = left(out, n - 1);
            const float after = left(out, n);
            if (before < 0.0f && after >= 0.0f)
                crossings.push_back(static_cast<double>(n) - after / (after - before));
        }
        if (crossings.size() < 2)
            return 0.0;
        return rate * static_cast<double>(crossings.size() - 1) /
               (crossings.back() - crossings.front());
    }
};

TEST_F(ChannelPitch, ThePlaybackRateSetsThePitch) {
    // 441 whole cycles in one second of sound at 22050 Hz.
    auto& channel = load(2, testsupport::sineStereo(22050, 441.0, 20000.0), 22050);
    channel.play();
    output.pull(1000);
    EXPECT_NEAR(measuredFrequency(output.pull(48000), 48000.0), 441.0, 0.5);

    channel.setFrequency(11025);
    output.pull(10);
    EXPECT_NEAR(measuredFrequency(output.pull(48000), 48000.0), 220.5, 0.5);

    channel.setFrequency(32767);
    output.pull(10);
    EXPECT_NEAR(measuredFrequency(output.pull(48000), 48000.0), 441.0 * 32767.0 / 22050.0, 0.5);
}

TEST_F(ChannelPitch, InterpolationAtADifferentRateStaysCloseToTheTrueWave) {
    auto& channel = load(2, testsupport::sineStereo(22050, 441.0, 20000.0), 22050);
    channel.play();
    const auto out = output.pull(48000);
    double worst = 0.0;
    for (std::size_t n = ramp() + latency(); n < 48000; ++n) {
        const double t = static_cast<double>(n - latency()) / 48000.0;
        const double expected = 20000.0 / 32768.0 * std::sin(2.0 * 3.141592653589793 * 441.0 * t);
        worst = std::max(worst, std::abs(left(out, n) - expected));
    }
    EXPECT_LT(worst, 0.002); // better than -54 dB of the full scale
}

} // namespace
} // namespace calmfield
