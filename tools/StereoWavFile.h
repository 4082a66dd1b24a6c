#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace calmfield::tools {

// Writes interleaved left, right 16-bit samples as a PCM WAV file. The file appears under its
// name only once it is complete. Gives an empty string on success, otherwise what went wrong.
std::string writeStereoPcm16Wav(const std::filesystem::path& path,
                                const std::vector<std::int16_t>& interleaved, int sampleRate);

} // namespace calmfield::tools
