#include "render/RenderFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace calmfield::render {
namespace {

constexpr std::array<std::uint32_t, 5> kOpusRates{8000, 12000, 16000, 24000, 48000};

// A plain WAV file counts its bytes in 32 bits; its header and 16-bit stereo data must fit.
constexpr std::uint64_t kWavFrameBytes = 4;
constexpr std::uint64_t kLargestPlainWavData = 0xFFFFFFFFULL - 0xFFFF;

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

FormatChoice chooseFormat(const std::filesystem::path& file, std::uint32_t rate,
                          std::uint64_t frames) {
    const std::string ending = lowerCase(file.extension().string());
    RenderFormat format;
    if (ending == ".wav")
        format = {
            (frames <= kLargestPlainWavData / kWavFrameBytes ? SF_FORMAT_WAV : SF_FORMAT_RF64) |
            SF_FORMAT_PCM_16};
    else if (ending == ".flac")
        format = {SF_FORMAT_FLAC | SF_FORMAT_PCM_16};
    else if (ending == ".ogg")
        format = {SF_FORMAT_OGG | SF_FORMAT_VORBIS};
    else if (ending == ".opus")
        format = {SF_FORMAT_OGG | SF_FORMAT_OPUS};
    else
        return files::failure("A mix can be rendered only to a file ending in " +
                              std::string(kFileEndings) + ".");

    if (ending == ".opus") {
        if (std::find(kOpusRates.begin(), kOpusRates.end(), rate) == kOpusRates.end())
            return files::failure("An Opus file takes only 8000, 12000, 16000, 24000 or 48000 Hz, "
                                  "not " +
                                  std::to_string(rate) + " Hz.");
    } else if (rate < kLowestRate || rate > kHighestRate) {
        return files::failure("A mix can be rendered at " + std::to_string(kLowestRate) + " to " +
                              std::to_string(kHighestRate) + " Hz, not " + std::to_string(rate) +
                              " Hz.");
    }
    return format;
}

} // namespace calmfield::render
