#include "engine/SoundBuffer.h"

#include <sndfile.h>

namespace calmfield::engine {
namespace {

constexpr std::uint32_t kLowestRate = 1000;
constexpr std::uint32_t kHighestRate = 200000;

bool isPcmOrFloat(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return true;
    default:
        return false;
    }
}

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

} // namespace

SoundBuffer::SoundBuffer(const std::vector<std::int16_t>& interleavedStereo,
                         std::uint32_t sampleRate)
    : frames_(interleavedStereo.size() / 2), sampleRate_(sampleRate) {
    padded_.reserve(interleavedStereo.size() + 6);
    padded_.insert(padded_.end(), interleavedStereo.end() - 2, interleavedStereo.end());
    padded_.insert(padded_.end(), interleavedStereo.begin(), interleavedStereo.end());
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t frame = i % frames_;
        padded_.push_back(interleavedStereo[2 * frame]);
        padded_.push_back(interleavedStereo[2 * frame + 1]);
    }
}

SoundFileResult loadSoundFile(const std::filesystem::path& path) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file)
        return {nullptr, sf_strerror(nullptr)};
    if (!isPcmOrFloat(info.format))
        return {nullptr, "its samples are neither PCM nor floating point"};
    if (info.channels < 1 || info.channels > 2)
        return {nullptr, "it has " + std::to_string(info.channels) +
                             " channels; only mono and stereo sounds can be played"};
    if (info.samplerate < static_cast<int>(kLowestRate) ||
        info.samplerate > static_cast<int>(kHighestRate))
        return {nullptr, "its sample rate of " + std::to_string(info.samplerate) +
                             " Hz is outside what can be played"};
    if (info.frames <= 0)
        return {nullptr, "it holds no sound"};

    // Floating-point files are scaled to the 16-bit range rather than wrapped around.
    sf_command(file.get(), SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

    const auto frames = static_cast<std::size_t>(info.frames);
    std::vector<std::int16_t> stereo(frames * 2);
    std::vector<std::int16_t> decoded(frames * static_cast<std::size_t>(info.channels));
    const sf_count_t read = sf_readf_short(file.get(), decoded.data(), info.frames);
    if (read != info.frames)
        return {nullptr, "it is shorter than its header says or cannot be read"};
    for (std::size_t i = 0; i < frames; ++i) {
        if (info.channels == 1) {
            stereo[2 * i] = stereo[2 * i + 1] = decoded[i];
        } else {
            stereo[2 * i] = decoded[2 * i];
            stereo[2 * i + 1] = decoded[2 * i + 1];
        }
    }
    return {
        std::make_shared<const SoundBuffer>(stereo, static_cast<std::uint32_t>(info.samplerate)),
        {}};
}

} // namespace calmfield::engine
