#include "render/MixRender.h"
#include "../engine/TestSounds.h"
#include "engine/ChannelBank.h"
#include "files/StoredName.h"
#include "render/PartFiles.h"
#include "render/RenderFormat.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/NoiseRepeats.h"
#include "tests/support/SignalAnalysis.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

namespace calmfield::testsupport {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using engine::MasterGain;
using render::RenderResult;

constexpr std::uint64_t kSeed = 11;

struct Decoded {
    SF_INFO info{};
    std::vector<float> samples; // interleaved stereo
};

Decoded decode(const fs::path& file) {
    Decoded decoded;
    SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &decoded.info);
    if (sound == nullptr) {
        ADD_FAILURE() << file << ": " << sf_strerror(nullptr);
        return decoded;
    }
    decoded.samples.resize(static_cast<std::size_t>(decoded.info.frames * decoded.info.channels));
    sf_readf_float(sound, decoded.samples.data(), decoded.info.frames);
    sf_close(sound);
    return decoded;
}

std::vector<float> slice(const std::vector<float>& stereo, double from, double to, double rate) {
    return {stereo.begin() + 2 * static_cast<std::ptrdiff_t>(from * rate),
            stereo.begin() + 2 * static_cast<std::ptrdiff_t>(to * rate)};
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void putFile(const fs::path& file, const char* text) {
    std::ofstream(file) << text;
}

persistence::Mix onlyColour(int colour, int volume, int frequency) {
    persistence::Mix mix;
    mix.toggles = {persistence::kGreyed, persistence::kOff, persistence::kOff, persistence::kOff,
                   persistence::kOff};
    mix.toggles[static_cast<std::size_t>(colour)] = persistence::kOn;
    mix.volumes[static_cast<std::size_t>(colour)] = volume;
    mix.frequencies[static_cast<std::size_t>(colour)] = frequency;
    return mix;
}

// The file holds exactly what playback plays, between a fade in and the sleep timer's fade out.
TEST(MixRender, WritesThePlayedMixAtItsLengthBetweenAFadeInAndTheSleepFadeOut) {
    const char* programFolder = std::getenv("CALMFIELD_PROGRAM_DIR");
    if (programFolder == nullptr)
        GTEST_SKIP() << "CALMFIELD_PROGRAM_DIR is not set";
    TemporaryFolder folder;
    constexpr std::uint32_t kRate = 48000;
    constexpr double kSeconds = 20;
    render::RenderJob job{
        onlyColour(0, -600, 30000), programFolder, folder.path() / "brown.flac", 20s, kRate, kSeed};
    ASSERT_EQ(render::renderMix(job).value(), render::Rendered::written);
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"brown.flac"});
    const Decoded file = decode(job.target);
    EXPECT_EQ(file.info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    EXPECT_EQ(file.info.channels, 2);
    EXPECT_EQ(file.info.samplerate, static_cast<int>(kRate));
    ASSERT_EQ(file.info.frames, static_cast<sf_count_t>(kSeconds * kRate));

    testsupport::MemorySoundOutput output(kRate);
    engine::ChannelBank bank(output, kSeed);
    (void)bank.openDevice();
    ASSERT_TRUE(bank.createChannel(0, files::resolveStoredName(programFolder,
                                                               engine::kNoiseColours[0].soundFile))
                    .ok());
    bank.channel(0)->setVolume(-600);
    bank.channel(0)->setFrequency(30000);
    bank.channel(0)->play();
    const std::vector<float> played = output.pull(static_cast<std::size_t>(kSeconds * kRate));

    // Between the fades, sample for sample as played, to 16 bits.
    float largest = 0;
    for (std::size_t i = 2 * 2 * kRate; i < 2 * 10 * kRate; ++i)
        largest = std::max(largest, std::abs(file.samples[i] - played[i]));
    EXPECT_LE(largest, 1.01f / 32768);
    const auto steadyFile = slice(file.samples, 2, 10, kRate);
    EXPECT_NEAR(testsupport::rmsDecibels(steadyFile),
                testsupport::rmsDecibels(slice(played, 2, 10, kRate)), 0.01);
    const double slope = testsupport::slopeDecibelsPerOctave(
        testsupport::averagedSpectrum(steadyFile, 2, kRate), 100.0, 2000.0);
    EXPECT_NEAR(slope, -6.0, 1.5) << "brown noise falls 6 dB an octave";

    // The fades, at moments in them, against the gain the program's fades reach there.
    const auto gainAt = [&](double second) {
        return testsupport::rmsDecibels(
                   slice(file.samples, second - 0.005, second + 0.005, kRate)) -
               testsupport::rmsDecibels(slice(played, second - 0.005, second + 0.005, kRate));
    };
    const MasterGain::Ramp fadeIn{1.0f, render::kFadeIn, MasterGain::Shape::Decibels};
    const MasterGain::Ramp fadeOut{0.0f, render::kFadeOut, MasterGain::Shape::Decibels};
    EXPECT_NEAR(gainAt(1.0), 20 * std::log10(MasterGain::levelAt(fadeIn, 0.0, 1000ms)), 0.5);
    EXPECT_NEAR(gainAt(15.0), 20 * std::log10(MasterGain::levelAt(fadeOut, 1.0, 5000ms)), 0.5);
    EXPECT_LT(testsupport::rmsDecibels(slice(file.samples, 0, 0.05, kRate)), -80);
    EXPECT_LT(testsupport::rmsDecibels(slice(file.samples, kSeconds - 0.05, kSeconds, kRate)), -80);
}

// Each second's level, in decibels, between the fade in and the fade out.
std::vector<double> levelsEvery(const Decoded& file, double seconds) {
    const double rate = file.info.samplerate;
    std::vector<double> levels;
    const double end = static_cast<double>(file.info.frames) / rate - 10;
    for (double from = 2; from + seconds <= end; from += seconds)
        levels.push_back(testsupport::rmsDecibels(slice(file.samples, from, from + seconds, rate)));
    return levels;
}

// Pink alone drifting fast 6 dB deep: a wide span, never above the mix without drift, and the
// same path again from the same seed though the noise differs.
TEST(MixRender, DriftsTheMixOnItsSeedsPath) {
    const char* programFolder = std::getenv("CALMFIELD_PROGRAM_DIR");
    if (programFolder == nullptr)
        GTEST_SKIP() << "CALMFIELD_PROGRAM_DIR is not set";
    TemporaryFolder folder;
    constexpr std::uint32_t kRate = 8000;
    const auto render = [&](const char* name, bool drift, std::uint64_t wanderSeed) {
        persistence::Mix mix = onlyColour(1, -600, 22050);
        mix.drift = {drift, 6, engine::DriftSpeed::Fast, 2718281828u};
        const render::RenderJob job{mix,  programFolder, folder.path() / name,
                                    612s, kRate,         wanderSeed};
        EXPECT_EQ(render::renderMix(job).value(), render::Rendered::written);
        return decode(job.target);
    };
    const Decoded steady = render("steady.wav", false, kSeed);
    const Decoded drifting = render("drifting.wav", true, kSeed);
    const auto steadyLevels = levelsEvery(steady, 1);
    const auto levels = levelsEvery(drifting, 1);
    ASSERT_EQ(levels.size(), 600u);
    for (std::size_t second = 0; second < levels.size(); ++second)
        EXPECT_LE(levels[second], steadyLevels[second] + 0.01) << second;
    EXPECT_GE(*std::max_element(levels.begin(), levels.end()) -
                  *std::min_element(levels.begin(), levels.end()),
              4.0);

    const auto again = levelsEvery(render("again.wav", true, kSeed + 1), 5);
    const auto first = levelsEvery(drifting, 5);
    for (std::size_t at = 0; at < first.size(); ++at)
        EXPECT_NEAR(again[at], first[at], 0.5) << at * 5;
}

// A sound shorter than the render, which a straight loop would repeat twice in it.
TEST(MixRender, NeverRepeatsTheSoundInTheFile) {
    TemporaryFolder folder;
    constexpr std::uint32_t kRate = 22050;
    const std::size_t period = 25 * kRate;
    writeStereoWav(folder.path() / "Brown_Noise.wav", randomStereo(period, 9), kRate);
    render::RenderJob job{
        onlyColour(0, 0, kRate), folder.path(), folder.path() / "long.wav", 70s, kRate, kSeed};
    ASSERT_EQ(render::renderMix(job).value(), render::Rendered::written);
    const Decoded file = decode(job.target);
    // Short of 4 GiB, a plain PCM WAVE file that every reader opens; RF64 only beyond.
    EXPECT_EQ(file.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::uint64_t framesIn4GiB = (std::uint64_t{1} << 32) / 4;
    EXPECT_EQ(render::chooseFormat("a.wav", kRate, framesIn4GiB - (1 << 20)).value().code,
              SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(render::chooseFormat("a.wav", kRate, framesIn4GiB).value().code,
              SF_FORMAT_RF64 | SF_FORMAT_PCM_16);
    std::vector<float> left(file.samples.size() / 2);
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = file.samples[2 * i];
    const auto steps = testsupport::firstDifference(left);
    EXPECT_LT(testsupport::periodCorrelation(steps, period, 10 * kRate), 0.05);
}

TEST(MixRender, LeavesNothingBehindWhenItFailsOrIsStopped) {
    TemporaryFolder folder;
    writeStereoWav(folder.path() / "Brown_Noise.wav", randomStereo(8000, 3), 8000);
    const fs::path target = folder.path() / "out" / "noise.flac";
    render::RenderJob job{onlyColour(0, 0, 8000), folder.path(), target, 12s, 8000, kSeed};

    RenderResult result = render::renderMix(job);
    ASSERT_FALSE(result.ok());
    std::string error = std::get<std::string>(result.reason());
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

    fs::create_directory(target.parent_path());
    {
        testsupport::FileSizeLimit full(20000);
        ASSERT_TRUE(full.active());
        result = render::renderMix(job);
    }
    ASSERT_FALSE(result.ok());
    error = std::get<std::string>(result.reason());
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_TRUE(filesIn(target.parent_path()).empty());

    int calls = 0;
    result = render::renderMix(job, [&calls](std::uint64_t, std::uint64_t) { return ++calls < 3; });
    EXPECT_EQ(result.value(), render::Rendered::stopped);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(filesIn(target.parent_path()).empty());

    job.mix = onlyColour(1, 0, 8000);
    result = render::renderMix(job);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(std::get<engine::UnusableSoundFile>(result.reason()).colour, 1);
    EXPECT_TRUE(filesIn(target.parent_path()).empty());
}

TEST(MixRender, WritesThroughALinkKeepsPermissionsAndLeavesNothingWhenKilled) {
    TemporaryFolder folder;
    writeStereoWav(folder.path() / "Brown_Noise.wav", randomStereo(8000, 3), 8000);
    const fs::path out = folder.path() / "out";
    fs::create_directory(out);
    putFile(out / "real.wav", "an older render");
    fs::permissions(out / "real.wav", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.wav", out / "link.wav");
    render::RenderJob job{onlyColour(0, 0, 8000), folder.path(), out / "link.wav", 12s, 8000};
    ASSERT_EQ(render::renderMix(job).value(), render::Rendered::written);
    EXPECT_TRUE(fs::is_symlink(out / "link.wav"));
    EXPECT_EQ(decode(out / "real.wav").info.frames, 12 * 8000);
    EXPECT_EQ(fs::status(out / "real.wav").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    // A render killed half-way, as by SIGKILL or a power cut.
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        job.target = out / "night.wav";
        job.length = render::kLongestRender;
        bool told = false;
        (void)render::renderMix(job, [&](std::uint64_t done, std::uint64_t) {
            if (done > 0 && !told)
                told = ::write(started[1], "!", 1) == 1;
            return true;
        });
        ::_exit(0);
    }
    char told = 0;
    ASSERT_EQ(::read(started[0], &told, 1), 1);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(filesIn(out), (std::vector<std::string>{"link.wav", "real.wav"}));

    // Part files of exactly this naming whose render is gone are cleaned by the next render;
    // others are left.
    const std::vector<fs::path> left{render::partFileName(out / "night.wav", ::getpid(), 0),
                                     out / ".night.wav.part", out / ".day.wav.1-0.part"};
    for (const fs::path& file : left)
        putFile(file, "part");
    putFile(render::partFileName(out / "night.wav", child, 0), "killed");
    job.target = out / "night.wav";
    ASSERT_EQ(render::renderMix(job).value(), render::Rendered::written);
    std::vector<std::string> expected{"link.wav", "night.wav", "real.wav"};
    for (const fs::path& file : left)
        expected.push_back(file.filename().string());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(filesIn(out), expected);
}

} // namespace
} // namespace calmfield::testsupport
