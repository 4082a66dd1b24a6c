#pragma once

#include "files/Result.h"
#include "routines/Routine.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace calmfield::routines {

// The name of the routines file in the user's settings folder.
inline constexpr char kRoutinesFileName[] = "routines";

// One line of the routines file: a routine, or a line kept as it was written (a comment, a blank
// line, or one that could not be read, with why).
struct RoutinesLine {
    std::optional<Routine> routine{};
    QString kept{};
    QString problem{};

    bool operator==(const RoutinesLine&) const = default;
};

// The routines file, one routine a line, its fields separated by blanks:
//
//   [off] DAYS START END RISE FALL MIX
//
// DAYS is "daily", or days "mon" to "sun" and ranges such as "mon-fri" (which may wrap round, as
// "fri-mon"), joined by commas; START and END are HH:MM, END "-" for a routine that plays until
// stopped; RISE and FALL are durations as --sleep reads them, up to an hour, or "0s"; MIX is the
// rest of the line, "-" for the mix that plays. A line whose first character that is not blank
// is "#" is a comment.
struct RoutinesFile {
    std::vector<RoutinesLine> lines;

    std::vector<Routine> routines() const;
    // Each line that could not be read, as "line N: why".
    QStringList problems() const;
    // The routines replaced by `routines`, in their order, keeping the other lines in their places;
    // routines beyond the old ones' places are added at the end.
    void replaceRoutines(const std::vector<Routine>& routines);
};

RoutinesFile parseRoutines(const QString& text);
// Routines as this program writes them; every other line as it was read.
QString formatRoutines(const RoutinesFile& file);
QString formatRoutine(const Routine& routine);
// A routine's days as the file gives them: "daily", "mon-fri", "sat,sun".
QString formatDays(const std::array<bool, 7>& days);
// A start or end as the file gives it: "07:00".
QString formatTime(int minute);

// The file at `path`: none is an empty file; one that cannot be read gives why.
files::Result<RoutinesFile, QString> readRoutinesFile(const QString& path);
// Replaces the file only once the new one is complete.
files::Result<files::Done, QString> writeRoutinesFile(const QString& path,
                                                      const RoutinesFile& file);

} // namespace calmfield::routines
