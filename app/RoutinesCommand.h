#pragma once

#include <QTimeZone>

#include <cstdio>
#include <filesystem>

namespace calmfield::app {

// Answers --routines: prints the routines in the user's folder and the next event, and gives 0,
// or 1 having told on `errors` why the file or a line of it cannot be read.
int listRoutines(const std::filesystem::path& userFolder, qint64 now, const QTimeZone& zone,
                 std::FILE* output, std::FILE* errors);

} // namespace calmfield::app
