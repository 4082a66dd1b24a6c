#include "TestSounds.h"
#include "engine/SoundBuffer.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <fstream>

namespace calmfield {
namespace {

using engine::loadSoundFile;

TEST(SoundFile, SixteenBitStereoIsDecodedExactlyAtItsOwnRate) {
    testsupport::TemporaryFolder folder;
    const auto frames = testsupport::randomStereo(1000, 7);
    testsupport::writeStereoWav(folder.path() / "a.wav", frames, 22050);

    const auto result = loadSoundFile(folder.path() / "a.wav");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value()->sampleRate(), 22050u);
    ASSERT_EQ(result.value()->frames(), 1000u);
    for (std::size_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(result.value()->left(i), frames[2 * i]);
        ASSERT_EQ(result.value()->right(i), frames[2 * i + 1]);
    }
}

TEST(SoundFile, TheDoubledLoopWrapsAroundAndKeepsTheSoundsFrames) {
    testsupport::TemporaryFolder folder;
    const auto frames = testsupport::randomStereo(5, 3);
    testsupport::writeStereoWav(folder.path() / "a.wav", frames, 8000);
    const auto sound = loadSoundFile(folder.path() / "a.wav").value();
    ASSERT_TRUE(sound);

    // The doubled loop goes on periodically on either side, however short the loop is, and holds
    // the sound's own frames at its even frames.
    using engine::ShortKernel;
    const auto before = static_cast<std::ptrdiff_t>(ShortKernel::kFramesBefore);
    const auto doubledFrame = [&](std::ptrdiff_t i) {
        return sound->doubledAround(0) + 2 * (i + before);
    };
    for (std::ptrdiff_t i = -before;
         i < static_cast<std::ptrdiff_t>(10 + ShortKernel::kFramesAfter); ++i) {
        const auto inLoop = (i % 10 + 10) % 10;
        ASSERT_EQ(doubledFrame(i)[0], doubledFrame(inLoop)[0]) << i;
        ASSERT_EQ(doubledFrame(i)[1], doubledFrame(inLoop)[1]) << i;
        if (inLoop % 2 == 0) {
            ASSERT_EQ(doubledFrame(i)[0], frames[inLoop]) << i;
            ASSERT_EQ(doubledFrame(i)[1], frames[inLoop + 1]) << i;
        }
    }
}

TEST(SoundFile, OtherPcmAndFloatEncodingsAreConverted) {
    testsupport::TemporaryFolder folder;
    const std::vector<double> stereo{0.5, -0.25, -1.0, 0.75};
    for (const int encoding : {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32,
                               SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE}) {
        const auto path = folder.path() / ("f" + std::to_string(encoding) + ".wav");
        testsupport::writeSoundFile(path, stereo, 2, 44100, SF_FORMAT_WAV | encoding);
        const auto result = loadSoundFile(path);
        ASSERT_TRUE(result.ok()) << "encoding " << encoding;
        EXPECT_EQ(result.value()->sampleRate(), 44100u);
        EXPECT_NEAR(result.value()->left(0), 16384, 256) << encoding;
        EXPECT_NEAR(result.value()->right(0), -8192, 256) << encoding;
        EXPECT_NEAR(result.value()->left(1), -32768, 256) << encoding;
        EXPECT_NEAR(result.value()->right(1), 24576, 256) << encoding;
    }
}

TEST(SoundFile, MonoPlaysOnBothSides) {
    testsupport::TemporaryFolder folder;
    testsupport::writeSoundFile(folder.path() / "mono.wav", {0.5, -0.5}, 1, 11025,
                                SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const auto result = loadSoundFile(folder.path() / "mono.wav");
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.value()->frames(), 2u);
    EXPECT_EQ(result.value()->left(0), 16384);
    EXPECT_EQ(result.value()->right(0), 16384);
    EXPECT_EQ(result.value()->left(1), -16384);
    EXPECT_EQ(result.value()->right(1), -16384);
}

TEST(SoundFile, UnusableFilesAreRefusedWithAReason) {
    testsupport::TemporaryFolder folder;
    testsupport::writeSoundFile(folder.path() / "four.wav", std::vector<double>(8, 0.1), 4, 22050,
                                SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    testsupport::writeSoundFile(folder.path() / "ulaw.wav", std::vector<double>(8, 0.1), 2, 22050,
                                SF_FORMAT_WAV | SF_FORMAT_ULAW);
    testsupport::writeSoundFile(folder.path() / "empty.wav", {}, 2, 22050,
                                SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::ofstream(folder.path() / "junk.wav") << "RIFF this is not a sound at all";

    using Failure = engine::SoundFileFailure;
    using Problem = Failure::Problem;
    for (const auto& [name, failure] :
         {std::pair{"four.wav", Failure{.problem = Problem::unplayableChannels, .channels = 4}},
          {"ulaw.wav", Failure{.problem = Problem::unplayableEncoding}},
          {"empty.wav", Failure{.problem = Problem::silent}},
          {"junk.wav", Failure{.problem = Problem::notASoundFile}},
          {"absent.wav", Failure{.problem = Problem::notOpened,
                         .opening = files::RegularFile::Failure::missing}}}) {
        const auto result = loadSoundFile(folder.path() / name);
        EXPECT_FALSE(result.ok()) << name;
        EXPECT_EQ(result.reason(), failure) << name;
    }
}

TEST(SoundFile, ASoundLongerThanTenMinutesIsRefused) {
    testsupport::TemporaryFolder folder;
    const std::vector<double> tenMinutes(600 * 1000, 0.25);
    testsupport::writeSoundFile(folder.path() / "ten.wav", tenMinutes, 1, 1000,
                                SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::vector<double> longer = tenMinutes;
    longer.push_back(0.25);
    testsupport::writeSoundFile(folder.path() / "longer.wav", longer, 1, 1000,
                                SF_FORMAT_WAV | SF_FORMAT_PCM_16);

    const auto ten = loadSoundFile(folder.path() / "ten.wav");
    ASSERT_TRUE(ten.ok());
    EXPECT_EQ(ten.value()->frames(), tenMinutes.size());
    const auto refused = loadSoundFile(folder.path() / "longer.wav");
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.reason().problem, engine::SoundFileFailure::Problem::tooLong);

    // Smaller limits, by length or by memory, refuse what the program's own take.
    for (const engine::SoundFileLimits limits :
         {engine::SoundFileLimits{.longestSeconds = 599},
          engine::SoundFileLimits{.largestBytes = 8 * tenMinutes.size()}}) {
        EXPECT_EQ(loadSoundFile(folder.path() / "ten.wav", limits).reason().problem,
                  engine::SoundFileFailure::Problem::tooLong);
    }
}

} // namespace
} // namespace calmfield
