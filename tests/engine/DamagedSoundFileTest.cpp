// Sound files whose headers lie: each gives a sound within the limits or a reason, never a crash,
// and loading it never takes more memory than the largest sound may.

#include "TestSounds.h"
#include "engine/SoundBuffer.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

namespace calmfield {
namespace {

using engine::loadSoundFile;

// Whether `body` answers true in a forked copy of this process that may take no more address
// space than it holds plus the largest sound, so that taking more makes an allocation fail.
bool holdsWithinTheMemoryOfASound(const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::ifstream status("/proc/self/status");
        std::string field;
        rlim_t inUse = 0;
        while (status >> field && !(field == "VmSize:" && status >> inUse)) {
        }
        const rlim_t most = inUse * 1024 + engine::kLargestSoundBytes;
        const rlimit ceiling{most, most};
        ::_exit(inUse > 0 && ::setrlimit(RLIMIT_AS, &ceiling) == 0 && body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        std::fprintf(stderr, "ended by signal %d\n", WTERMSIG(status));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string soundFileBytes(const std::filesystem::path& file, int format, int channels, int rate,
                           std::size_t frames) {
    std::vector<double> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<double>(i % 100) / 100.0 - 0.5;
    testsupport::writeSoundFile(file, samples, channels, rate, format);
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void putBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::remove(file); // rewriting a file in place makes the file system flush it
    std::ofstream(file, std::ios::binary) << bytes;
}

// Rewrites the 36-bit length in a FLAC file's stream information block.
std::string claimingFrames(std::string flac, std::uint64_t frames) {
    flac[21] = static_cast<char>((flac[21] & 0xF0) | static_cast<int>((frames >> 32) & 0x0F));
    for (std::size_t i = 0; i < 4; ++i)
        flac[22 + i] = static_cast<char>(frames >> (24 - 8 * i));
    return flac;
}

TEST(DamagedSoundFile, OneHoldingLessThanItsHeaderPromisesIsCalledDamaged) {
    testsupport::TemporaryFolder folder;
    const auto file = folder.path() / "sound";
    const auto second = [&](int format) {
        return soundFileBytes(file, format | SF_FORMAT_PCM_16, 2, 22050, 22050);
    };
    const std::string aiff = second(SF_FORMAT_AIFF), flac = second(SF_FORMAT_FLAC);
    for (const auto& [name, bytes] :
         {std::pair{"aiff cut to 100 bytes", aiff.substr(0, 100)},
          {"flac cut in half", flac.substr(0, flac.size() / 2)},
          {"flac claiming 2^36 frames", claimingFrames(flac, ~0ULL)},
          {"flac claiming 2^27 frames", claimingFrames(flac, 1 << 27)}}) {
        putBytes(file, bytes);
        EXPECT_TRUE(holdsWithinTheMemoryOfASound([&] {
            const auto result = loadSoundFile(file);
            using Problem = engine::SoundFileFailure::Problem;
            return !result.ok() && (result.reason().problem == Problem::damaged ||
                                    result.reason().problem == Problem::cutShort);
        })) << name;
    }
}

// One to four changes to the header, the same on every run for a seed: a byte at random, four
// bytes set to a value that sizes and counts are often mishandled at, or the file cut short.
std::string mutated(std::string bytes, std::size_t headerBytes, unsigned seed) {
    constexpr std::uint32_t kEdges[] = {0, 1, 0x7FFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    std::mt19937 random(seed);
    const auto anyOf = [&](std::size_t count) { return std::size_t{random() % count}; };
    for (std::size_t change = anyOf(4) + 1; change > 0 && bytes.size() > headerBytes; --change) {
        const std::size_t at = anyOf(headerBytes - 4);
        const auto kind = anyOf(3);
        if (kind == 0) {
            bytes[at] = static_cast<char>(random());
        } else if (kind == 1) {
            const std::uint32_t value = kEdges[anyOf(std::size(kEdges))];
            const bool bigEndian = anyOf(2) == 1;
            for (std::size_t i = 0; i < 4; ++i)
                bytes[at + i] = static_cast<char>(value >> (8 * (bigEndian ? 3 - i : i)));
        } else {
            bytes.resize(anyOf(bytes.size() + 1));
        }
    }
    return bytes;
}

TEST(DamagedSoundFile, OneWhoseChunksRunPastWhatHoldsThemIsRefusedAsDamaged) {
    // A LIST chunk claiming nearly 4 GiB; cut to the file's end, an entry in it then claims nearly
    // 4 GiB and would send a decoder back over what it has read, for ever.
    std::ifstream in(SOUND_FILE_SEEDS "/list_chunk_running_back.wav", std::ios::binary);
    const std::string claiming4GiB{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(claiming4GiB.size(), 0x2cu);
    std::string fitting = claiming4GiB;
    const auto listSize = static_cast<std::uint32_t>(fitting.size() - 0x2c);
    for (int i = 0; i < 4; ++i)
        fitting[0x28 + i] = static_cast<char>(listSize >> (8 * i));

    testsupport::TemporaryFolder folder;
    const auto file = folder.path() / "sound.wav";
    for (const std::string& bytes : {claiming4GiB, fitting}) {
        putBytes(file, bytes);
        EXPECT_EQ(loadSoundFile(file).reason().problem, engine::SoundFileFailure::Problem::damaged);
    }
}

TEST(DamagedSoundFile, RandomlyMutatedHeadersGiveASoundWithinTheLimitsOrAReason) {
    testsupport::TemporaryFolder folder;
    const auto file = folder.path() / "sound";
    struct Original {
        const char* name;
        std::string bytes;
        std::size_t headerBytes; // where the changes land
    };
    const Original originals[] = {
        {"stereo 16-bit WAV", soundFileBytes(file, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 22050, 500),
         48},
        {"mono 24-bit WAV", soundFileBytes(file, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 44100, 500),
         48},
        {"stereo float WAV", soundFileBytes(file, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 8000, 500),
         84},
        {"stereo 16-bit FLAC",
         soundFileBytes(file, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 22050, 500), 64},
        {"mono 24-bit FLAC", soundFileBytes(file, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1, 48000, 500),
         64},
    };
    EXPECT_TRUE(holdsWithinTheMemoryOfASound([&] {
        int faults = 0, sounds = 0, refusals = 0;
        for (const Original& original : originals) {
            for (unsigned seed = 1; seed <= 1000; ++seed) {
                putBytes(file, mutated(original.bytes, original.headerBytes, seed));
                const auto result = loadSoundFile(file);
                (result.ok() ? sounds : refusals) += 1;
                // Running out of memory here means more was taken than a sound may.
                const bool fine = result.ok()
                                      ? result.value()->frames() <=
                                            engine::longestSoundFrames(result.value()->sampleRate())
                                      : static_cast<bool>(result.reason()) &&
                                            result.reason().problem !=
                                                engine::SoundFileFailure::Problem::notEnoughMemory;
                if (!fine) {
                    std::fprintf(stderr, "%s, seed %u: problem %d\n", original.name, seed,
                                 result.ok() ? -1 : static_cast<int>(result.reason().problem));
                    ++faults;
                }
            }
        }
        std::fprintf(stderr, "%d sounds, %d refusals\n", sounds, refusals);
        return faults == 0 && sounds > 0 && refusals > 0; // or the changes tested nothing
    }));
}

} // namespace
} // namespace calmfield
