#include "tools/StereoWavFile.h"

#include <sndfile.h>

#include <memory>
#include <system_error>

namespace calmfield::tools {
namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

} // namespace

std::string writeStereoPcm16Wav(const std::filesystem::path& path,
                                const std::vector<std::int16_t>& interleaved, int sampleRate) {
    const auto partial = std::filesystem::path(path).concat(".part");
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    {
        std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(partial.c_str(), SFM_WRITE, &info));
        if (!file)
            return partial.string() + ": " + sf_strerror(nullptr);
        const auto frames = static_cast<sf_count_t>(interleaved.size() / 2);
        if (sf_writef_short(file.get(), interleaved.data(), frames) != frames)
            return partial.string() + ": " + sf_strerror(file.get());
        if (sf_close(file.release()) != 0)
            return partial.string() + ": the file could not be completed";
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    if (error)
        return path.string() + ": " + error.message();
    return {};
}

} // namespace calmfield::tools
