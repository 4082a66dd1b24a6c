#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace calmfield::testsupport {

// A fresh, empty folder under the system's temporary folder, removed when the object goes.
class TemporaryFolder {
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Interleaved stereo 16-bit frames with independent random left and right values, peaking just
// under the level where the mixer starts to limit.
std::vector<std::int16_t> randomStereo(std::size_t frames, unsigned seed);
// Stereo frames holding one constant value on both sides.
std::vector<std::int16_t> constantStereo(std::size_t frames, std::int16_t value);
// Stereo frames of a sine wave of `cycles` whole periods over `frames` frames.
std::vector<std::int16_t> sineStereo(std::size_t frames, double cycles, double amplitude);

// Writes 16-bit stereo PCM WAV.
void writeStereoWav(const std::filesystem::path& path, const std::vector<std::int16_t>& frames,
                    int sampleRate);

// Writes `samples` (interleaved, `channels` per frame, -1..1) in the given libsndfile format.
void writeSoundFile(const std::filesystem::path& path, const std::vector<double>& samples,
                    int channels, int sampleRate, int format);

} // namespace calmfield::testsupport
