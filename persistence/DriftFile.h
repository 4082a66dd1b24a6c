#pragma once

#include "engine/DriftSetting.h"
#include "files/Result.h"

#include <QString>

#include <filesystem>

namespace calmfield::persistence {

// The drift of the mix that played when Calmfield last closed, kept beside the startup settings in
// the user's own folder as one drift line (see DriftLine.h); no file means no drift.
inline constexpr char kDriftFileName[] = "drift";

// The drift kept in `userFolder`, off when there is none, or what is wrong with the file in words
// for the user.
files::Result<engine::DriftSetting, QString> readDriftFile(const std::filesystem::path& userFolder);
// Keeps `drift` in `userFolder`, replacing the old file only once the new one is complete; drift
// that is off removes the file. Gives what went wrong if it fails.
files::Result<files::Done, QString> writeDriftFile(const std::filesystem::path& userFolder,
                                                   const engine::DriftSetting& drift);

} // namespace calmfield::persistence
