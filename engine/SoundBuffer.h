#pragma once

#include "engine/SincKernel.h"
#include "files/RegularFile.h"
#include "files/Result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace calmfield::engine {

// A whole sound decoded into memory: 16-bit stereo frames at the sound's own rate, kept at twice
// that rate, frame 2i being frame i and frame 2i+1 half the long kernel's value halfway to the
// next, so that the short kernel can play it. The doubled frames are stored with the loop's last
// frames copied before the first and its first frames after the last, so that the short kernel
// around any frame reads straight through the loop's wrap.
class SoundBuffer {
  public:
    // `interleavedStereo` holds left, right pairs; it must not be empty.
    SoundBuffer(std::vector<std::int16_t> interleavedStereo, std::uint32_t sampleRate);

    std::size_t frames() const { return frames_; }
    std::uint32_t sampleRate() const { return sampleRate_; }
    // The mean square of both sides' samples, in 16-bit units.
    double meanSquare() const { return meanSquare_; }

    // Frame i of the sound, for 0 <= i < frames().
    const std::int16_t* frame(std::size_t i) const { return doubled_.data() + 2 * (2 * i + kPad); }
    std::int16_t left(std::size_t i) const { return frame(i)[0]; }
    std::int16_t right(std::size_t i) const { return frame(i)[1]; }

    // The doubled frames i - ShortKernel::kFramesBefore .. i + ShortKernel::kFramesAfter, wrapped
    // around the loop, start here, for 0 <= i < 2 * frames().
    const std::int16_t* doubledAround(std::size_t i) const { return doubled_.data() + 2 * i; }

  private:
    static constexpr std::size_t kPad = ShortKernel::kFramesBefore;
    std::vector<std::int16_t> doubled_;
    std::size_t frames_;
    std::uint32_t sampleRate_;
    double meanSquare_ = 0.0;
};

// Why a sound file was refused.
struct SoundFileFailure {
    enum class Problem {
        none,
        notOpened,          // `opening` says why
        notASoundFile,      // no format that can be decoded
        unplayableEncoding, // its samples are neither PCM nor floating point
        unreadable,         // the system gave an error while reading
        damaged,
        cutShort,           // damaged and shorter than its header says
        unplayableChannels, // `channels` says how many it has
        unplayableRate,     // `sampleRate` says what it is
        silent,             // it holds no frames
        tooLong,            // longer than the longest sound
        notEnoughMemory,
    };

    Problem problem = Problem::none;
    files::RegularFile::Failure opening = files::RegularFile::Failure::none;
    int channels = 0;
    int sampleRate = 0;

    explicit operator bool() const { return problem != Problem::none; }
    bool operator==(const SoundFileFailure&) const = default;
};

// A decoded sound, or why the file was refused.
using SoundFileResult = files::Result<std::shared_ptr<const SoundBuffer>, SoundFileFailure>;

// The longest sound that is played: ten minutes, and never more than 256 MB in memory at twice
// its rate.
inline constexpr std::uint32_t kLongestSoundSeconds = 600;
inline constexpr std::size_t kLargestSoundBytes = std::size_t{256} << 20;

// How long a sound may play and how much memory it may take at twice its rate; a file beyond
// either is refused as too long.
struct SoundFileLimits {
    std::uint32_t longestSeconds = kLongestSoundSeconds;
    std::size_t largestBytes = kLargestSoundBytes;
};
std::size_t longestSoundFrames(std::uint32_t sampleRate, const SoundFileLimits& limits = {});

// Decodes a sound file of any PCM or float encoding, mono or stereo, at its own rate. Only a
// regular file is opened, its header's length is not relied on, and a file that is damaged or
// longer than `limits` allow is refused; nothing is thrown.
SoundFileResult loadSoundFile(const std::filesystem::path& path,
                              const SoundFileLimits& limits = {});

} // namespace calmfield::engine
