#pragma once

#include <cstdint>
#include <filesystem>

namespace calmfield::testsupport {

// Writes a 16-bit stereo WAV file holding a sine tone of `frequency` Hz on both sides, `seconds`
// long at `sampleRate`. The tone loops without a seam when it fits a whole number of cycles.
bool writeToneFile(const std::filesystem::path& path, double frequency, std::uint32_t sampleRate,
                   double seconds, double amplitude);

} // namespace calmfield::testsupport
