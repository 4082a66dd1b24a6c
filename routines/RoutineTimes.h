#pragma once

#include "routines/Routine.h"

#include <QDate>
#include <QTimeZone>

#include <cstddef>
#include <optional>
#include <vector>

namespace calmfield::routines {

// One day's occurrence of a routine, in seconds since the epoch.
struct Occurrence {
    std::size_t routine = 0; // where it stands in the list
    qint64 start = 0;
    // None for a routine that plays until stopped.
    std::optional<qint64> end{};
    // The first moment after the start's local day, up to which a late start still joins a routine
    // that plays until stopped.
    qint64 dayEnd = 0;

    bool operator==(const Occurrence&) const = default;
};

struct RoutineEvent {
    enum class Kind { Start, End };
    Kind kind;
    Occurrence occurrence;

    qint64 at() const { return kind == Kind::Start ? occurrence.start : *occurrence.end; }
    bool operator==(const RoutineEvent&) const = default;
};

// The moment the wall clock of `zone` reads `minute` after midnight on `date`: in a stretch the
// clock skips, the first moment after it; in one it reads twice, the first.
qint64 momentOf(const QDate& date, int minute, const QTimeZone& zone);

// The occurrence of the routine starting on `date`, when its days include that day. An end at or
// before the start falls on the next day.
std::optional<Occurrence> occurrenceOn(const std::vector<Routine>& routines, std::size_t routine,
                                       const QDate& date, const QTimeZone& zone);

// The occurrence of a routine that is on which `now` lies inside: begun, and neither ended nor,
// for one that plays until stopped, past its day; the one begun last when several are.
std::optional<Occurrence> occurrenceAt(const std::vector<Routine>& routines, qint64 now,
                                       const QTimeZone& zone);

// The first start or end of a routine that is on after `now`. At the same moment an end comes
// before a start, and routines earlier in the list before later ones.
std::optional<RoutineEvent> nextEvent(const std::vector<Routine>& routines, qint64 now,
                                      const QTimeZone& zone);

} // namespace calmfield::routines
