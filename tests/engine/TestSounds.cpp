#include "TestSounds.h"

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>

namespace calmfield::testsupport {

TemporaryFolder::TemporaryFolder() {
    static std::mt19937_64 names{std::random_device{}()};
    path_ = std::filesystem::temp_directory_path() / ("calmfield-test-" + std::to_string(names()));
    std::filesystem::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::int16_t> randomStereo(std::size_t frames, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(-29000, 29000); // under the mixer's limiter ceiling
    std::vector<std::int16_t> samples(frames * 2);
    for (auto& sample : samples)
        sample = static_cast<std::int16_t>(value(random));
    return samples;
}

std::vector<std::int16_t> constantStereo(std::size_t frames, std::int16_t value) {
    return std::vector<std::int16_t>(frames * 2, value);
}

std::vector<std::int16_t> sineStereo(std::size_t frames, double cycles, double amplitude) {
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double phase =
            2.0 * std::numbers::pi * cycles * static_cast<double>(i) / static_cast<double>(frames);
        samples[2 * i] = samples[2 * i + 1] =
            static_cast<std::int16_t>(std::lround(amplitude * std::sin(phase)));
    }
    return samples;
}

void writeStereoWav(const std::filesystem::path& path, const std::vector<std::int16_t>& frames,
                    int sampleRate) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        throw std::runtime_error(sf_strerror(nullptr));
    sf_writef_short(file, frames.data(), static_cast<sf_count_t>(frames.size() / 2));
    sf_close(file);
}

void writeSoundFile(const std::filesystem::path& path, const std::vector<double>& samples,
                    int channels, int sampleRate, int format) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        throw std::runtime_error(sf_strerror(nullptr));
    sf_writef_double(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(file);
}

} // namespace calmfield::testsupport
