#pragma once

#include "files/Result.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace calmfield::render {

inline constexpr std::uint32_t kDefaultRate = 48000;
inline constexpr std::uint32_t kLowestRate = 8000;
inline constexpr std::uint32_t kHighestRate = 192000;

// The kinds of file a mix is rendered to, for the user.
inline constexpr char kFileEndings[] = "\".wav\", \".flac\", \".ogg\" or \".opus\"";

// How a rendered file is encoded: libsndfile's format code.
struct RenderFormat {
    int code = 0;
};

// The format a file's ending asks for at `rate` frames a second, or why it cannot be written.
using FormatChoice = files::Result<RenderFormat, std::string>;

// WAV (16-bit), FLAC (16-bit), Ogg Vorbis and Ogg Opus, by the file's ending in any letter case,
// for `frames` frames. A WAV file has the plain PCM header that every reader knows while its data
// fits in 4 GiB, and is RF64 beyond.
FormatChoice chooseFormat(const std::filesystem::path& file, std::uint32_t rate,
                          std::uint64_t frames);

} // namespace calmfield::render
