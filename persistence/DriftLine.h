#pragma once

#include "engine/DriftSetting.h"
#include "files/Result.h"

#include <optional>
#include <string>
#include <string_view>

namespace calmfield::persistence {

// The line that gives a mix its drift, after the mix's own line: "drift DEPTH SPEED SEED", with the
// depth in whole decibels, the speed "slow", "medium" or "fast" and the seed a decimal number,
// ended by CR LF, such as "drift 6 medium 2718281828\r\n".
std::string formatDriftLine(const engine::DriftSetting& drift);

// The drift of `text`, the text that follows the line holding a mix's last field: its first
// non-empty line, when that line's first word is "drift"; none when it is another line, or there
// is none. A drift line that is not one Calmfield writes gives what is wrong in words for the user.
files::Result<std::optional<engine::DriftSetting>, std::string>
readDriftLine(std::string_view text);

} // namespace calmfield::persistence
