#pragma once

#include "engine/SincKernel.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace calmfield::engine {

// A whole sound decoded into memory: 16-bit stereo frames at the sound's own rate. The frames are
// stored with the loop's last frames copied before the first and its first frames after the last,
// so that the interpolation kernel around any frame reads straight through the loop's wrap.
class SoundBuffer {
  public:
    // `interleavedStereo` holds left, right pairs; it must not be empty. Its storage is kept, so
    // room for kFramesBefore + kFramesAfter more frames spares a copy.
    SoundBuffer(std::vector<std::int16_t> interleavedStereo, std::uint32_t sampleRate);

    std::size_t frames() const { return frames_; }
    std::uint32_t sampleRate() const { return sampleRate_; }

    // The frames i - kFramesBefore .. i + kFramesAfter, wrapped around the loop, start here, for
    // 0 <= i < frames().
    const std::int16_t* around(std::size_t i) const { return padded_.data() + 2 * i; }
    // Frame i, for -kFramesBefore <= i < frames() + kFramesAfter, wrapped around the loop.
    const std::int16_t* frame(std::ptrdiff_t i) const {
        return padded_.data() + 2 * (i + static_cast<std::ptrdiff_t>(kFramesBefore));
    }
    std::int16_t left(std::size_t i) const { return padded_[2 * (i + kFramesBefore)]; }
    std::int16_t right(std::size_t i) const { return padded_[2 * (i + kFramesBefore) + 1]; }

  private:
    std::vector<std::int16_t> padded_;
    std::size_t frames_;
    std::uint32_t sampleRate_;
};

struct SoundFileResult {
    std::shared_ptr<const SoundBuffer> sound; // null when the file was refused
    std::string error; // why, in words for the user, as a clause without a full stop
};

// The longest sound that is played: ten minutes, and never more than 256 MB in memory.
inline constexpr std::uint32_t kLongestSoundSeconds = 600;
inline constexpr std::size_t kLargestSoundBytes = std::size_t{256} << 20;
std::size_t longestSoundFrames(std::uint32_t sampleRate);

// Decodes a sound file of any PCM or float encoding, mono or stereo, at its own rate. Only a
// regular file is opened, its header's length is not relied on, and a file that is damaged or
// longer than the longest sound is refused; nothing is thrown.
SoundFileResult loadSoundFile(const std::filesystem::path& path);

} // namespace calmfield::engine
