// What the tray's tooltip and the sleep timer's menu tell of the routines.

#include "MainWindowFixture.h"

namespace calmfield::testsupport {
namespace {

using namespace std::chrono_literals;
using RoutineHints = MainWindowFixture;

TEST_F(RoutineHints, TheTooltipTellsTheNextEventAndTheSleepTimerThatItPauses) {
    std::filesystem::create_directories(userFolder);
    putFile(userFolder / "routines", "daily 22:30 07:00 30s 30m -\n");
    run->program().startRoutines();
    run->program().startSleepTimer(20min);
    const QString sleeps = QString::fromUtf8("Calmfield – sleeps in 20 min");
    const QString next = sleeps + "\nNext: 22:30 tonight, the mix that plays";
    EXPECT_EQ(trayIcon(form)->toolTip(), next);
    EXPECT_EQ(sleepMenu(form)->actions().first()->text(), "Sleeps in 20 min, then pauses");
    form->player().toggleMute();
    EXPECT_EQ(trayIcon(form)->toolTip(), next + "\nRoutine silent while muted");

    putFile(userFolder / "routines", "off daily 22:30 07:00 30s 30m -\n");
    EXPECT_TRUE(waitUntil([&] { return trayIcon(form)->toolTip() == sleeps; }));
    EXPECT_EQ(sleepMenu(form)->actions().first()->text(), "Sleeps in 20 min");
}

} // namespace
} // namespace calmfield::testsupport
