#include "BankFixture.h"

#include <cmath>

namespace calmfield {
namespace {

using engine::MasterGain;
using namespace std::chrono_literals;

constexpr std::uint32_t kRate = 8000;
constexpr std::int16_t kLevel = 16384;

double decibels(double gain) {
    return 20.0 * std::log10(gain);
}

// One channel playing a constant level, so that what comes out is the master gain times it.
class MixFade : public testsupport::BankFixture {
  protected:
    MixFade() : BankFixture(kRate) {
        load(0, testsupport::constantStereo(100, kLevel), kRate).play();
        output.pull(ramp() + latency());
    }

    // The gain of each of the next `frames` frames.
    std::vector<double> gains(std::size_t frames) {
        const auto out = output.pull(frames);
        std::vector<double> result(frames);
        for (std::size_t n = 0; n < frames; ++n)
            result[n] = right(out, n) / scaled(kLevel);
        return result;
    }

    bool idle() const { return output.renderer()->idle(); }
};

TEST_F(MixFade, FallsEvenlyInDecibelsToMinusSixtyThenToSilenceOverTheLastSecond) {
    bank.rampMix(MasterGain::Part::Fade, {0.0f, 60s, MasterGain::Shape::Decibels});
    const auto gain = gains(61 * kRate);

    const double dbPerFrame = -60.0 / (59.0 * kRate);
    for (std::size_t n = 0; n < 59 * kRate; n += kRate / 4)
        ASSERT_NEAR(decibels(gain[n]), dbPerFrame * static_cast<double>(n), 1e-3) << n;
    for (std::size_t n = 1; n < 59 * kRate; ++n)
        ASSERT_NEAR(decibels(gain[n]) - decibels(gain[n - 1]), dbPerFrame, 1e-5) << n;
    EXPECT_NEAR(decibels(gain[59 * kRate]), -60.0, 1e-3);
    // The last second falls in even steps of amplitude, from a thousandth to nothing.
    const double step = 0.001 / kRate;
    for (std::size_t n = 59 * kRate + 1; n < 60 * kRate; ++n)
        ASSERT_NEAR(gain[n - 1] - gain[n], step, 1e-7) << n;
    for (std::size_t n = 60 * kRate; n < gain.size(); ++n)
        ASSERT_EQ(gain[n], 0.0) << n;
    EXPECT_TRUE(idle()) << "the output may rest while the mix is held at silence";
}

// An output that renders its queue again from nearer the speakers takes the fade back with it,
// but never to before the fade began.
TEST_F(MixFade, StepsBackWhenTheOutputRendersAgain) {
    bank.rampMix(MasterGain::Part::Fade, {0.0f, 60s, MasterGain::Shape::Decibels});
    const auto first = gains(30 * kRate);
    output.renderer()->rewind(2 * kRate);
    const auto again = gains(2 * kRate);
    for (std::size_t n = 0; n < again.size(); n += kRate / 8)
        ASSERT_NEAR(again[n], first[28 * kRate + n], 1e-6) << n;
    output.renderer()->rewind(100 * kRate);
    EXPECT_EQ(gains(1)[0], first[0]);
}

TEST_F(MixFade, ComesBackToFullFromWhereverItStands) {
    bank.rampMix(MasterGain::Part::Fade, {0.0f, 60s, MasterGain::Shape::Decibels});
    const double before = gains(30 * kRate).back();
    EXPECT_FALSE(idle());

    bank.rampMix(MasterGain::Part::Fade, {1.0f, 2s, MasterGain::Shape::Decibels});
    const auto back = gains(3 * kRate);
    EXPECT_NEAR(decibels(back[0]), decibels(before), 0.01) << "no step where it turns";
    for (std::size_t n = 1; n < back.size(); ++n)
        ASSERT_GE(back[n], back[n - 1]) << n;
    EXPECT_LT(back[2 * kRate - 1], 1.0);
    EXPECT_EQ(back[2 * kRate], 1.0);

    // From silence, a short ramp of even amplitude steps, as a pause would take, goes and comes.
    bank.rampMix(MasterGain::Part::Pause, {0.0f, 500ms, MasterGain::Shape::Linear});
    const auto paused = gains(kRate);
    EXPECT_NEAR(paused[kRate / 4], 0.5, 1e-3);
    EXPECT_EQ(paused[kRate / 2], 0.0);
    EXPECT_TRUE(idle());
    bank.rampMix(MasterGain::Part::Pause, {1.0f, 500ms, MasterGain::Shape::Linear});
    EXPECT_FALSE(idle()) << "a ramp asked for wakes the mix before it has begun";
    const auto resumed = gains(kRate);
    EXPECT_NEAR(resumed[kRate / 4], 0.5, 1e-3);
    EXPECT_EQ(resumed[kRate / 2], 1.0);
}

// The user-interface thread's reckoning of where a ramp stands matches what is rendered, in either
// shape and in the last second's tail alike.
TEST_F(MixFade, LevelAtFollowsTheRenderedRamp) {
    const MasterGain::Ramp fade{0.0f, 10s, MasterGain::Shape::Decibels};
    bank.rampMix(MasterGain::Part::Fade, fade);
    const auto gain = gains(10 * kRate);
    for (const std::chrono::milliseconds at : {0ms, 2500ms, 8999ms, 9500ms, 10000ms})
        EXPECT_NEAR(MasterGain::levelAt(fade, 1.0, at),
                    at < 10s ? gain[static_cast<std::size_t>(at.count()) * kRate / 1000] : 0.0,
                    1e-4)
            << at.count();
    const MasterGain::Ramp back{0.5f, 1s, MasterGain::Shape::Linear};
    bank.rampMix(MasterGain::Part::Fade, back);
    EXPECT_NEAR(MasterGain::levelAt(back, 0.0, 300ms), gains(kRate)[3 * kRate / 10], 1e-4);
}

} // namespace
} // namespace calmfield
