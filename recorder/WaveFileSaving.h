#pragma once

#include "files/Result.h"
#include "recorder/SpoolFile.h"
#include "sound/CaptureDevice.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace calmfield::recorder {

// Writes the first `bytes` of `take` to `target` as a RIFF WAVE file of unsigned 8-bit PCM in
// `format`, replacing any file there. The file is written whole beside the target under another
// name and only then renamed into place, so a failure leaves nothing half-written. A failure
// says why it could not be saved, in the program's words.
files::Result<files::Done, std::string> saveWaveFile(const SpoolFile& take, std::uint64_t bytes,
                                                     sound::BytePcmFormat format,
                                                     const std::filesystem::path& target);

} // namespace calmfield::recorder
