#include "routines/RoutineTimes.h"

#include <QDateTime>

#include <tuple>

namespace calmfield::routines {
namespace {

constexpr qint64 kSecondsADay = 24 * 60 * 60;
// Every occurrence that can hold `now` began at most this many days before it, and the next event
// of a routine with any day lies within a week and a day.
constexpr int kDaysBack = 2;
constexpr int kDaysAhead = 9;

int offsetAt(qint64 moment, const QTimeZone& zone) {
    return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(moment, Qt::UTC));
}

QDate localDate(qint64 moment, const QTimeZone& zone) {
    return QDateTime::fromSecsSinceEpoch(moment, zone).date();
}

} // namespace

qint64 momentOf(const QDate& date, int minute, const QTimeZone& zone) {
    // The wall clock's reading counted as if it were universal time.
    const qint64 reading = QDateTime(date, QTime(0, 0), Qt::UTC).toSecsSinceEpoch() + minute * 60;
    const int before = offsetAt(reading - kSecondsADay, zone);
    const int after = offsetAt(reading + kSecondsADay, zone);
    std::optional<qint64> first;
    for (const int offset : {before, after}) {
        const qint64 moment = reading - offset;
        if (offsetAt(moment, zone) == offset && (!first || moment < *first))
            first = moment;
    }
    if (first)
        return *first;
    // Skipped: the clock changes somewhere between these two moments.
    qint64 low = reading - std::max(before, after);
    qint64 high = reading - std::min(before, after);
    const int lowOffset = offsetAt(low, zone);
    while (high - low > 1) {
        const qint64 middle = low + (high - low) / 2;
        (offsetAt(middle, zone) == lowOffset ? low : high) = middle;
    }
    return high;
}

std::optional<Occurrence> occurrenceOn(const std::vector<Routine>& routines, std::size_t routine,
                                       const QDate& date, const QTimeZone& zone) {
    const Routine& each = routines[routine];
    if (!each.days[static_cast<std::size_t>(date.dayOfWeek() - 1)])
        return std::nullopt;
    Occurrence occurrence{routine, momentOf(date, each.startMinute, zone), std::nullopt,
                          momentOf(date.addDays(1), 0, zone)};
    if (each.endMinute) {
        const QDate endDate = *each.endMinute <= each.startMinute ? date.addDays(1) : date;
        occurrence.end = momentOf(endDate, *each.endMinute, zone);
    }
    return occurrence;
}

std::optional<Occurrence> occurrenceAt(const std::vector<Routine>& routines, qint64 now,
                                       const QTimeZone& zone) {
    const QDate today = localDate(now, zone);
    std::optional<Occurrence> latest;
    for (std::size_t routine = 0; routine < routines.size(); ++routine) {
        if (!routines[routine].on)
            continue;
        for (int day = -kDaysBack; day <= 0; ++day) {
            const auto occurrence = occurrenceOn(routines, routine, today.addDays(day), zone);
            if (!occurrence || occurrence->start > now)
                continue;
            const qint64 over = occurrence->end ? *occurrence->end : occurrence->dayEnd;
            if (now < over && (!latest || occurrence->start > latest->start))
                latest = occurrence;
        }
    }
    return latest;
}

std::optional<RoutineEvent> nextEvent(const std::vector<Routine>& routines, qint64 now,
                                      const QTimeZone& zone) {
    const QDate today = localDate(now, zone);
    std::optional<RoutineEvent> first;
    const auto earlier = [](const RoutineEvent& a, const RoutineEvent& b) {
        // Ends before starts at the same moment: Kind::End sorts after Start, so it is negated.
        return std::make_tuple(a.at(), a.kind != RoutineEvent::Kind::End, a.occurrence.routine) <
               std::make_tuple(b.at(), b.kind != RoutineEvent::Kind::End, b.occurrence.routine);
    };
    for (std::size_t routine = 0; routine < routines.size(); ++routine) {
        if (!routines[routine].on)
            continue;
        for (int day = -kDaysBack; day <= kDaysAhead; ++day) {
            const auto occurrence = occurrenceOn(routines, routine, today.addDays(day), zone);
            if (!occurrence)
                continue;
            for (const auto kind : {RoutineEvent::Kind::Start, RoutineEvent::Kind::End}) {
                if (kind == RoutineEvent::Kind::End && !occurrence->end)
                    continue;
                const RoutineEvent event{kind, *occurrence};
                if (event.at() > now && (!first || earlier(event, *first)))
                    first = event;
            }
        }
    }
    return first;
}

} // namespace calmfield::routines
