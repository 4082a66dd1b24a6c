#include "BankFixture.h"
#include "tests/support/PipeWatch.h"

#include <sys/stat.h>

#include <fstream>

namespace calmfield {
namespace {

using testsupport::BankFixture;

TEST_F(BankFixture, EveryChannelSoundsAndTheyAddUp) {
    auto& brown = load(0, testsupport::constantStereo(100, 1000));
    auto& purple = load(4, testsupport::constantStereo(100, -3000));
    brown.play();
    purple.play();
    output.pull(2 * ramp());
    const auto out = output.pull(1);
    EXPECT_FLOAT_EQ(left(out, 0), scaled(-2000));
    EXPECT_FLOAT_EQ(right(out, 0), scaled(-2000));
}

TEST_F(BankFixture, LeftAndRightStayApart) {
    std::vector<std::int16_t> frames{1000, -7000, 1000, -7000};
    load(3, frames).play();
    output.pull(2 * ramp());
    const auto out = output.pull(1);
    EXPECT_FLOAT_EQ(left(out, 0), scaled(1000));
    EXPECT_FLOAT_EQ(right(out, 0), scaled(-7000));
}

TEST_F(BankFixture, AMixAboveFullScaleIsHeldAtTheLimitersCeiling) {
    load(0, testsupport::constantStereo(10, 30000)).play();
    load(1, testsupport::constantStereo(10, 30000)).play();
    output.pull(2 * ramp() + latency());
    const auto out = output.pull(1);
    EXPECT_NEAR(left(out, 0), engine::PeakLimiter::kCeiling, 1e-6);
}

TEST_F(BankFixture, StopAndRewindAllStopsEveryChannelAndRewindsIt) {
    const auto sound = testsupport::randomStereo(600, 5);
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        load(colour, sound).play();
    output.pull(300);

    bank.stopAndRewindAll();
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        EXPECT_FALSE(bank.channel(colour)->isPlaying());
    const auto faded = output.pull(ramp() + latency() + 100);
    for (std::size_t n = ramp() + latency(); n < faded.size() / 2; ++n)
        ASSERT_EQ(left(faded, n), 0.0f);

    bank.channel(2)->play();
    const auto out = output.pull(latency() + 200);
    for (std::size_t n = ramp(); n < 200; ++n)
        ASSERT_EQ(left(out, n + latency()), scaled(sound[2 * n]))
            << "white starts from the beginning";
}

// The output may stop asking for audio only once the last fade has come out of the limiter, and
// hears of every change so that it can play it at once.
TEST_F(BankFixture, TheMixIsIdleOnlyOnceTheLastSoundIsOutAndEveryChangeTellsTheOutput) {
    auto& pink = load(1, testsupport::constantStereo(100, 1000));
    auto& blue = load(3, testsupport::constantStereo(100, 1000));
    EXPECT_TRUE(output.renderer()->idle());
    const unsigned wakesAtLoad = output.wakes();
    pink.play();
    blue.play();
    output.pull(ramp());
    pink.stop();
    output.pull(ramp());
    EXPECT_FALSE(output.renderer()->idle()) << "blue plays on";

    blue.stop();
    output.pull(ramp() + latency() - 2);
    EXPECT_FALSE(output.renderer()->idle()) << "the fade is still in the limiter";
    const auto tail = output.pull(1);
    EXPECT_NE(left(tail, 0), 0.0f) << "the last of the fade";
    EXPECT_TRUE(output.renderer()->idle());

    pink.setVolume(-600);
    pink.setPan(300);
    pink.setFrequency(11025);
    pink.setPosition(10);
    EXPECT_EQ(output.wakes() - wakesAtLoad, 8u);
}

TEST_F(BankFixture, AMissingOrUnusableSoundFileIsNamedAndTheOthersStillWork) {
    testsupport::writeStereoWav(folder.path() / "Brown_Noise.Wav",
                                testsupport::constantStereo(50, 500), 22050);
    testsupport::writeStereoWav(folder.path() / "white_noise.wav",
                                testsupport::constantStereo(50, 500), 22050);
    std::ofstream(folder.path() / "Pink_Noise.Wav") << "not a sound";
    testsupport::writeStereoWav(folder.path() / "violet.Wav", testsupport::constantStereo(50, 500),
                                22050);

    const auto unusable = bank.createChannels(folder.path());
    ASSERT_EQ(unusable.size(), 2u);
    EXPECT_EQ(unusable[0].colour, 1);
    EXPECT_EQ(unusable[0].file, folder.path() / "Pink_Noise.Wav");
    EXPECT_EQ(unusable[0].failure.problem, engine::SoundFileFailure::Problem::notASoundFile);
    EXPECT_EQ(unusable[1].colour, 3);
    EXPECT_EQ(unusable[1].file, folder.path() / "Blue_Noise.Wav"); // named as stored

    EXPECT_NE(bank.channel(0), nullptr);
    EXPECT_EQ(bank.channel(1), nullptr);
    EXPECT_NE(bank.channel(2), nullptr); // found whatever its letter case
    EXPECT_EQ(bank.channel(3), nullptr);
    EXPECT_NE(bank.channel(4), nullptr); // the stored name ends in a blank
    EXPECT_EQ(bank.channel(5), nullptr);
    EXPECT_EQ(bank.channel(-1), nullptr);

    bank.channel(4)->play();
    bank.stopAndRewindAll();
    output.pull(2 * ramp());
}

TEST_F(BankFixture, APipeAFolderOrADeviceIsRefusedAsWhatItIsAndOneCutShortAsDamaged) {
    const auto pipe = folder.path() / "Pink_Noise.Wav";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.path() / "White_Noise.Wav");
    std::filesystem::create_symlink("/dev/zero", folder.path() / "Blue_Noise.Wav");
    const auto cut = folder.path() / "Brown_Noise.Wav";
    testsupport::writeStereoWav(cut, testsupport::randomStereo(22050, 9), 22050);
    std::filesystem::resize_file(cut, 100);

    testsupport::PipeWatch watch(pipe);
    const auto unusable = bank.createChannels(folder.path());
    EXPECT_FALSE(watch.released()) << "waited on the pipe";
    using Problem = engine::SoundFileFailure::Problem;
    ASSERT_EQ(unusable.size(), 5u);
    EXPECT_EQ(unusable[0].failure.problem, Problem::cutShort);
    // Pink is a pipe, white a folder, blue a device, and purple is missing.
    using Opening = files::RegularFile::Failure;
    const Opening openings[] = {Opening::notRegular, Opening::folder, Opening::notRegular,
                                Opening::missing};
    for (int colour = 1; colour < engine::kColourCount; ++colour) {
        const engine::SoundFileFailure refused{.problem = Problem::notOpened,
                                               .opening = openings[colour - 1]};
        EXPECT_EQ(unusable[colour].failure, refused) << colour;
    }
    for (const auto& file : unusable)
        EXPECT_EQ(file.file.parent_path(), folder.path()) << file.file;
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        EXPECT_EQ(bank.channel(colour), nullptr);
}

TEST(ChannelBankDevice, ADeviceThatCannotBeOpenedLeavesTheBankWithoutSound) {
    testsupport::MemorySoundOutput absent(48000, false);
    engine::ChannelBank bank(absent);
    const auto opened = bank.openDevice();
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.reason(), testsupport::MemorySoundOutput::kRefusal) << "the output's reason";
    EXPECT_EQ(bank.channel(0), nullptr);
    bank.stopAndRewindAll();
}

} // namespace
} // namespace calmfield
