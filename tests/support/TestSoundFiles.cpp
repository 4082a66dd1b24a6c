#include "tests/support/TestSoundFiles.h"

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace calmfield::testsupport {

bool writeToneFile(const std::filesystem::path& path, double frequency, std::uint32_t sampleRate,
                   double seconds, double amplitude) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    const auto frames = static_cast<std::size_t>(std::lround(seconds * sampleRate));
    std::vector<float> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double phase =
            2.0 * std::numbers::pi * frequency * static_cast<double>(i) / sampleRate;
        samples[2 * i] = samples[2 * i + 1] = static_cast<float>(amplitude * std::sin(phase));
    }
    const auto written = sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    return sf_close(file) == 0 && written == static_cast<sf_count_t>(frames);
}

} // namespace calmfield::testsupport
