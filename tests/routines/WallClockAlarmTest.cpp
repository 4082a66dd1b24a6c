#include "routines/WallClockAlarm.h"

#include <QDateTime>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace calmfield::routines {
namespace {

// Rings at the wall-clock moment it is armed for; wakes the computer only where the process may
// make a timer on the clock that does.
TEST(WallClockAlarm, RingsAtItsMomentAndWakesTheComputerWhereItMay) {
    int askedForWakeTimer = 0;
    WallClockAlarm refused([&](clockid_t clock) {
        askedForWakeTimer += clock == CLOCK_REALTIME_ALARM ? 1 : 0;
        return clock == CLOCK_REALTIME_ALARM ? -1 : makeTimer(clock);
    });
    EXPECT_EQ(askedForWakeTimer, 1);
    EXPECT_FALSE(refused.wakesComputer());
    // A stand-in for the waking clock, which an unprivileged test cannot make.
    WallClockAlarm allowed([](clockid_t clock) {
        return makeTimer(clock == CLOCK_REALTIME_ALARM ? CLOCK_REALTIME : clock);
    });
    EXPECT_TRUE(allowed.wakesComputer());

    QSignalSpy rang(&allowed, &WallClockAlarm::rang);
    const qint64 soon = QDateTime::currentSecsSinceEpoch() + 1;
    allowed.armAt(soon);
    ASSERT_TRUE(rang.wait(3000));
    EXPECT_GE(QDateTime::currentSecsSinceEpoch(), soon);
    allowed.armAt(QDateTime::currentSecsSinceEpoch() + 1);
    allowed.disarm();
    EXPECT_FALSE(rang.wait(2500));
}

} // namespace
} // namespace calmfield::routines
