#include "routines/RoutineTimes.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace calmfield::routines {
namespace {

using namespace std::chrono_literals;
using Kind = RoutineEvent::Kind;

const QTimeZone kNewYork("America/New_York");

qint64 at(const char* utc) {
    return QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODate).toSecsSinceEpoch();
}

Routine routine(std::array<bool, 7> days, int start, std::optional<int> end) {
    return {.days = days, .startMinute = start, .endMinute = end};
}

constexpr std::array<bool, 7> kWeekdays{1, 1, 1, 1, 1, 0, 0};
constexpr std::array<bool, 7> kDaily{1, 1, 1, 1, 1, 1, 1};

// Across days and weeks, an end on the next day, and which event comes first.
TEST(RoutineTimes, FindTheNextStartOrEndAcrossDaysAndWeeks) {
    const std::vector<Routine> routines{routine(kWeekdays, 6 * 60 + 40, 7 * 60 + 30),
                                        routine({0, 0, 0, 0, 0, 0, 1}, 22 * 60, 22 * 60)};
    // Friday 2026-12-11 08:00 in New York (13:00 UTC): next is Sunday's start at 22:00.
    auto next = nextEvent(routines, at("2026-12-11T13:00:00Z"), kNewYork);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->kind, Kind::Start);
    EXPECT_EQ(next->at(), at("2026-12-14T03:00:00Z"));
    EXPECT_EQ(next->occurrence.routine, 1u);
    // An end at its start is a day later: Monday 22:00; but Monday's wake comes first.
    next = nextEvent(routines, next->at(), kNewYork);
    EXPECT_EQ(next->at(), at("2026-12-14T11:40:00Z"));
    next = nextEvent(routines, next->at(), kNewYork);
    EXPECT_EQ(next->kind, Kind::End);
    EXPECT_EQ(next->at(), at("2026-12-14T12:30:00Z"));
    EXPECT_EQ(nextEvent(routines, next->at(), kNewYork)->at(), at("2026-12-15T03:00:00Z"));

    const std::vector<Routine> sameMinute{routine(kDaily, 7 * 60, std::nullopt),
                                          routine(kDaily, 6 * 60, 7 * 60)};
    next = nextEvent(sameMinute, at("2026-12-11T11:30:00Z"), kNewYork);
    EXPECT_EQ(next->kind, Kind::End) << "an end before a start at the same moment";
}

// The skipped and repeated hours in New York, and Lord Howe's half-hour shift.
TEST(RoutineTimes, MeetTheClocksChanges) {
    EXPECT_EQ(momentOf(QDate(2026, 3, 8), 2 * 60 + 30, kNewYork), at("2026-03-08T07:00:00Z"));
    EXPECT_EQ(momentOf(QDate(2026, 3, 8), 3 * 60 + 30, kNewYork), at("2026-03-08T07:30:00Z"));
    EXPECT_EQ(momentOf(QDate(2026, 11, 1), 60 + 30, kNewYork), at("2026-11-01T05:30:00Z"));
    EXPECT_EQ(momentOf(QDate(2026, 11, 1), 2 * 60, kNewYork), at("2026-11-01T07:00:00Z"));
    const QTimeZone lordHowe("Australia/Lord_Howe");
    // At 02:00 on 2026-10-04 the clock goes to 02:30; on 2026-04-05 02:00 goes back to 01:30.
    EXPECT_EQ(momentOf(QDate(2026, 10, 4), 2 * 60 + 10, lordHowe), at("2026-10-03T15:30:00Z"));
    EXPECT_EQ(momentOf(QDate(2026, 4, 5), 60 + 45, lordHowe), at("2026-04-04T14:45:00Z"));
    // A routine of the night the clock goes forward is an hour shorter.
    const auto night = occurrenceOn({routine(kDaily, 60, 4 * 60)}, 0, QDate(2026, 3, 8), kNewYork);
    EXPECT_EQ(*night->end - night->start, 2 * 60 * 60);
}

// After a wake or a late start: inside an occurrence it is joined, after its end nothing is, and
// one that plays until stopped is joined until its day ends.
TEST(RoutineTimes, JoinOnlyAnOccurrenceNotYetOver) {
    const std::vector<Routine> routines{routine(kDaily, 22 * 60 + 30, 7 * 60),
                                        routine(kWeekdays, 9 * 60, std::nullopt)};
    auto inside = occurrenceAt(routines, at("2026-12-11T08:00:00Z"), kNewYork); // 03:00 Friday
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->start, at("2026-12-11T03:30:00Z"));
    EXPECT_FALSE(occurrenceAt(routines, at("2026-12-11T12:30:00Z"), kNewYork)); // 07:30
    inside = occurrenceAt(routines, at("2026-12-11T23:00:00Z"), kNewYork);      // Friday 18:00
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->routine, 1u);
    EXPECT_FALSE(occurrenceAt(routines, at("2026-12-12T14:30:00Z"), kNewYork)); // Saturday 09:30
    std::vector<Routine> off = routines;
    off[0].on = false;
    EXPECT_FALSE(occurrenceAt(off, at("2026-12-11T08:00:00Z"), kNewYork));
}

} // namespace
} // namespace calmfield::routines
