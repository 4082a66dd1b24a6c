#include "BankFixture.h"

#include <fstream>

namespace calmfield {
namespace {

using testing::BankFixture;

TEST_F(BankFixture, EveryChannelSoundsAndTheyAddUp) {
    auto& brown = load(0, testing::constantStereo(100, 1000));
    auto& purple = load(4, testing::constantStereo(100, -3000));
    brown.Play();
    purple.Play();
    output.pull(2 * ramp());
    const auto out = output.pull(1);
    EXPECT_FLOAT_EQ(left(out, 0), scaled(-2000));
    EXPECT_FLOAT_EQ(right(out, 0), scaled(-2000));
}

TEST_F(BankFixture, LeftAndRightStayApart) {
    std::vector<std::int16_t> frames{1000, -7000, 1000, -7000};
    load(3, frames).Play();
    output.pull(2 * ramp());
    const auto out = output.pull(1);
    EXPECT_FLOAT_EQ(left(out, 0), scaled(1000));
    EXPECT_FLOAT_EQ(right(out, 0), scaled(-7000));
}

TEST_F(BankFixture, AMixAboveFullScaleIsHeldAtTheLimitersCeiling) {
    load(0, testing::constantStereo(10, 30000)).Play();
    load(1, testing::constantStereo(10, 30000)).Play();
    output.pull(2 * ramp() + latency());
    const auto out = output.pull(1);
    EXPECT_NEAR(left(out, 0), engine::PeakLimiter::kCeiling, 1e-6);
}

TEST_F(BankFixture, StopAndRewindAllStopsEveryChannelAndRewindsIt) {
    const auto sound = testing::randomStereo(600, 5);
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        load(colour, sound).Play();
    output.pull(300);

    bank.stopAndRewindAll();
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        EXPECT_FALSE(bank.channel(colour)->isPlaying());
    const auto faded = output.pull(ramp() + latency() + 100);
    for (std::size_t n = ramp() + latency(); n < faded.size() / 2; ++n)
        ASSERT_EQ(left(faded, n), 0.0f);

    bank.channel(2)->Play();
    const auto out = output.pull(latency() + 200);
    for (std::size_t n = ramp(); n < 200; ++n)
        ASSERT_EQ(left(out, n + latency()), scaled(sound[2 * n]))
            << "white starts from the beginning";
}

TEST_F(BankFixture, AMissingOrUnusableSoundFileIsNamedAndTheOthersStillWork) {
    testing::writeStereoWav(folder.path() / "Brown_Noise.Wav", testing::constantStereo(50, 500),
                            22050);
    testing::writeStereoWav(folder.path() / "white_noise.wav", testing::constantStereo(50, 500),
                            22050);
    std::ofstream(folder.path() / "Pink_Noise.Wav") << "not a sound";
    testing::writeStereoWav(folder.path() / "violet.Wav", testing::constantStereo(50, 500), 22050);

    const std::string messages = bank.createChannels(folder.path());
    EXPECT_NE(messages.find("Pink_Noise.Wav"), std::string::npos) << messages;
    EXPECT_NE(messages.find("Blue_Noise.Wav"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("Brown_Noise.Wav"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("violet"), std::string::npos) << messages;

    EXPECT_NE(bank.channel(0), nullptr);
    EXPECT_EQ(bank.channel(1), nullptr);
    EXPECT_NE(bank.channel(2), nullptr); // found whatever its letter case
    EXPECT_EQ(bank.channel(3), nullptr);
    EXPECT_NE(bank.channel(4), nullptr); // the stored name ends in a blank
    EXPECT_EQ(bank.channel(5), nullptr);
    EXPECT_EQ(bank.channel(-1), nullptr);

    bank.channel(4)->Play();
    bank.stopAndRewindAll();
    output.pull(2 * ramp());
}

TEST(ChannelBankDevice, ADeviceThatCannotBeOpenedLeavesTheBankWithoutSound) {
    platform::MemorySoundOutput absent(48000, false);
    engine::ChannelBank bank(absent);
    EXPECT_FALSE(bank.openDevice());
    EXPECT_FALSE(bank.deviceOpen());
    EXPECT_EQ(bank.channel(0), nullptr);
    bank.stopAndRewindAll();
}

} // namespace
} // namespace calmfield
