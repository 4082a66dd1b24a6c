#include "BankFixture.h"
#include "engine/NoiseColours.h"
#include "engine/WanderingReader.h"
#include "files/StoredName.h"
#include "tests/support/NoiseRepeats.h"
#include "tests/support/SignalAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <optional>

namespace calmfield::testsupport {
namespace {

using engine::WanderSeed;
using testsupport::correlation;
using testsupport::firstDifference;
using testsupport::LevelSpread;
using testsupport::levelSpread;

constexpr std::uint64_t kSeed = 20;

// One colour's sound file from the program's folder, played at its own rate, volume and pan into
// memory for `seconds`: left channel only. Nothing when the folder is not known.
std::optional<std::vector<float>> playColour(int colour, WanderSeed seed, double seconds,
                                             std::uint32_t* rate) {
    const char* folder = std::getenv("CALMFIELD_PROGRAM_DIR");
    if (folder == nullptr)
        return std::nullopt;
    testsupport::MemorySoundOutput output(44100);
    engine::ChannelBank bank(output, seed);
    (void)bank.openDevice();
    const auto file = files::resolveStoredName(
        folder, engine::kNoiseColours[static_cast<std::size_t>(colour)].soundFile);
    if (!bank.createChannel(colour, file).ok()) {
        ADD_FAILURE() << file << " cannot be played";
        return std::nullopt;
    }
    engine::NoiseChannel& channel = *bank.channel(colour);
    *rate = channel.sound().sampleRate();
    output.setSampleRate(*rate);
    channel.play();
    const auto frames = static_cast<std::size_t>(seconds * *rate);
    const auto stereo = output.pull(frames);
    std::vector<float> left(frames);
    for (std::size_t i = 0; i < frames; ++i)
        left[i] = stereo[2 * i];
    return left;
}

double slope(const std::vector<float>& samples, std::uint32_t rate) {
    return testsupport::slopeDecibelsPerOctave(testsupport::averagedSpectrum(samples, 1, rate),
                                               50.0, 5000.0);
}

class WanderingNoise : public ::testing::TestWithParam<int> {};

TEST_P(WanderingNoise, NeverRepeatsAtTheFilesLengthYetKeepsItsLevelSpectrumAndSteps) {
    constexpr double kSeconds = 240.0;
    std::uint32_t rate = 0;
    const auto wandering = playColour(GetParam(), kSeed, kSeconds, &rate);
    const auto straight = playColour(GetParam(), std::nullopt, kSeconds, &rate);
    if (!wandering || !straight)
        GTEST_SKIP() << "CALMFIELD_PROGRAM_DIR is not set";

    // The file's length at the rate played, found from the straight loop repeating itself.
    const auto steps = firstDifference(*wandering);
    const auto straightSteps = firstDifference(*straight);
    const std::size_t window = 10 * rate;
    std::size_t period = 0;
    for (std::size_t lag = 40 * rate; lag < 50 * rate && period == 0; ++lag)
        if (straightSteps[rate + lag] == straightSteps[rate] &&
            correlation(straightSteps, rate, rate + lag, rate / 10) > 0.999)
            period = lag;
    ASSERT_GT(period, 0u);

    const double highest = testsupport::periodCorrelation(steps, period, window);
    EXPECT_LT(highest, 0.05);

    const LevelSpread level = levelSpread(*wandering, rate);
    const LevelSpread straightLevel = levelSpread(*straight, rate);
    EXPECT_NEAR(level.deviation, straightLevel.deviation, 0.1);
    EXPECT_NEAR(level.range, straightLevel.range, 0.1);
    EXPECT_NEAR(slope(*wandering, rate), slope(*straight, rate), 0.1);

    const auto largest = [](const std::vector<double>& x) {
        return std::abs(*std::max_element(
            x.begin(), x.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }));
    };
    EXPECT_LE(largest(steps), largest(straightSteps));
}

INSTANTIATE_TEST_SUITE_P(, WanderingNoise, ::testing::Values(0, 1),
                         [](const auto& test) { return test.param == 0 ? "Brown" : "Pink"; });

// A file too short to wander.
TEST(WanderingPlayback, AFileOfFiveSecondsStillLoopsExactlyWhenASeedIsGiven) {
    TemporaryFolder folder;
    testsupport::MemorySoundOutput output(22050);
    engine::ChannelBank bank(output, kSeed);
    ASSERT_TRUE(bank.openDevice().ok());
    const std::size_t frames = 5 * 22050;
    writeStereoWav(folder.path() / "short.wav", randomStereo(frames, 3), 22050);
    ASSERT_TRUE(bank.createChannel(0, folder.path() / "short.wav").ok());
    bank.channel(0)->play();
    const std::size_t settled =
        engine::ChannelVoice::rampFrames(22050) + engine::ChannelMixer::latencyFrames(22050);
    const auto out = output.pull(2 * frames + settled + 100);
    for (std::size_t i = settled; i + frames < out.size() / 2; ++i)
        ASSERT_EQ(out[2 * i], out[2 * (i + frames)]) << "frame " << i;
}

// Shorter than the longest stretch and its crossfade, yet long enough to wander on shorter ones.
TEST(WanderingReader, AFileOfTenSecondsHasNoFixedPeriod) {
    constexpr std::uint32_t kRate = 22050;
    const std::size_t frames = 10 * kRate;
    const engine::SoundBuffer sound(randomStereo(frames, 7), kRate);
    engine::WanderingReader reader(sound, kSeed);
    const engine::WanderingReader::Reading reading{std::uint64_t{1} << 32, 1.0f};
    std::vector<float> out(2 * 120 * kRate, 0.0f);
    reader.mix(out.data(), out.size() / 2, reading, 1.0f, 1.0f);
    std::vector<float> left(out.size() / 2);
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = out[2 * i];
    EXPECT_LT(testsupport::periodCorrelation(firstDifference(left), frames, 2 * kRate), 0.05);
}

// Straight from the reader, as the channel's envelope would hide where a rewind lands.
TEST(WanderingReader, CrossfadesAtRandomAndAMoveEndsTheCrossfadeAndStartsAfresh) {
    const std::size_t frames = 30 * 22050;
    const engine::SoundBuffer sound(randomStereo(frames, 5), 22050);
    engine::WanderingReader reader(sound, kSeed);
    engine::WanderingReader fresh(sound, kSeed + 1);
    const engine::WanderingReader::Reading reading{std::uint64_t{1} << 32, 1.0f};
    std::vector<float> out(2 * 1024);
    std::size_t played = 0;
    while (!reader.crossfading() && played < 2 * frames) {
        reader.mix(out.data(), 1, reading, 1.0f, 1.0f);
        ++played;
    }
    ASSERT_TRUE(reader.crossfading());
    EXPECT_GE(played, 8 * 22050u - 1);
    EXPECT_LE(played, 20 * 22050u);

    reader.moveTo(0);
    EXPECT_FALSE(reader.crossfading());
    std::vector<float> again(out.size());
    std::fill(out.begin(), out.end(), 0.0f);
    reader.mix(out.data(), 1024, reading, 1.0f, 1.0f);
    fresh.mix(again.data(), 1024, reading, 1.0f, 1.0f);
    EXPECT_EQ(out, again);
}

} // namespace
} // namespace calmfield::testsupport
