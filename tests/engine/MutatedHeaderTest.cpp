// Sound files with randomly damaged headers, the same ones on every run: each gives a sound
// within the longest allowed or a reason, never a crash and never more memory than a sound may
// take.

#include "AddressSpaceCeiling.h"
#include "TestSounds.h"
#include "engine/SoundBuffer.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

namespace calmfield {
namespace {

struct Original {
    const char* name;
    int format;
    int channels;
    int rate;
    std::size_t headerBytes; // where the mutations land
};

constexpr Original kOriginals[] = {
    {"stereo 16-bit WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 22050, 44},
    {"mono 24-bit WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 44100, 44},
    {"stereo float WAV", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 8000, 80},
    {"stereo 16-bit FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 22050, 60},
    {"mono 24-bit FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1, 48000, 60},
};
constexpr unsigned kSeedsPerOriginal = 1000;

// Values that sizes and counts in a header are most likely to be mishandled at.
constexpr std::uint32_t kEdgeValues[] = {0,      1,          2,          0x7FFF,
                                         0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};

std::string originalBytes(const testing::TemporaryFolder& folder, const Original& original) {
    const auto file = folder.path() / "original";
    std::vector<double> samples(static_cast<std::size_t>(500 * original.channels));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<double>(i % 100) / 100.0 - 0.5;
    testing::writeSoundFile(file, samples, original.channels, original.rate, original.format);
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// One to four changes to the header: a byte at random, a four-byte size or count set to an
// edge value (either byte order), or the file cut short.
std::string mutated(std::string bytes, std::size_t headerBytes, unsigned seed) {
    std::mt19937 random(seed);
    const auto anyOf = [&](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    headerBytes = std::min(headerBytes, bytes.size() - 4);
    for (std::size_t change = anyOf(4) + 1; change > 0; --change) {
        const std::size_t at = anyOf(headerBytes);
        switch (anyOf(3)) {
        case 0:
            bytes[at] = static_cast<char>(anyOf(256));
            break;
        case 1: {
            const std::uint32_t value = kEdgeValues[anyOf(std::size(kEdgeValues))];
            const bool bigEndian = anyOf(2) == 1;
            for (std::size_t i = 0; i < 4; ++i)
                bytes[at + i] = static_cast<char>(value >> (8 * (bigEndian ? 3 - i : i)));
            break;
        }
        default:
            bytes.resize(anyOf(bytes.size() + 1));
            headerBytes = std::min(headerBytes, bytes.size() < 4 ? 0 : bytes.size() - 4);
            if (headerBytes == 0)
                return bytes;
        }
    }
    return bytes;
}

// Gives what is wrong with the outcome, or nothing when it is a usable sound or a reason.
std::string faultIn(const engine::SoundFileResult& result) {
    if (result.error.find("not enough memory") != std::string::npos)
        return "took more memory than a sound may"; // the ceiling was hit
    if (!result.sound)
        return result.error.empty() ? "refused without a reason" : "";
    const auto rate = result.sound->sampleRate();
    if (!result.error.empty())
        return "a sound together with a reason";
    if (result.sound->frames() == 0 || result.sound->frames() > engine::longestSoundFrames(rate))
        return std::to_string(result.sound->frames()) + " frames at " + std::to_string(rate) +
               " Hz";
    return "";
}

TEST(MutatedHeaders, GiveASoundWithinTheLimitsOrAReasonAndStayWithinTheMemoryOfASound) {
    testing::TemporaryFolder folder;
    const auto file = folder.path() / "mutated";
    const int faults = testing::runWithinAddressSpace(engine::kLargestSoundBytes, [&] {
        int found = 0;
        std::size_t sounds = 0;
        std::size_t refusals = 0;
        for (const Original& original : kOriginals) {
            const std::string bytes = originalBytes(folder, original);
            for (unsigned seed = 1; seed <= kSeedsPerOriginal; ++seed) {
                // A new file each time: rewriting one in place makes the file system flush it.
                std::filesystem::remove(file);
                std::ofstream(file, std::ios::binary) << mutated(bytes, original.headerBytes, seed);
                const auto result = engine::loadSoundFile(file);
                (result.sound ? sounds : refusals) += 1;
                const std::string fault = faultIn(result);
                if (!fault.empty()) {
                    std::fprintf(stderr, "%s, seed %u: %s\n", original.name, seed, fault.c_str());
                    ++found;
                }
            }
        }
        std::fprintf(stderr, "%zu sounds, %zu refusals\n", sounds, refusals);
        // Both outcomes must occur, or the mutations test nothing.
        return found > 0 || sounds == 0 || refusals == 0 ? 1 : 0;
    });
    EXPECT_EQ(faults, 0);
}

} // namespace
} // namespace calmfield
