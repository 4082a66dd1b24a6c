#include "MainWindowFixture.h"

#include "shell/Messages.h"

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::MainWindowFixture;
using widgets::CheckBox;

class Tray : public MainWindowFixture {
  protected:
    void trayEvent(QSystemTrayIcon::ActivationReason reason) {
        emit trayIcon(form)->activated(reason);
    }
};

TEST_F(Tray, TrayHidesTheWindowAndADoubleClickBringsItBackAtNormalSize) {
    const QPoint place = form->pos();
    trayButton(form)->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_NE(trayIcon(form), nullptr);

    trayEvent(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
    EXPECT_EQ(form->pos(), place);
}

TEST_F(Tray, ADoubleClickRestoresAMinimisedWindow) {
    form->showMinimized();
    trayEvent(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(Tray, ReadoutsAreCurrentTheMomentTheWindowIsBack) {
    trayButton(form)->click();
    frequencySliders(form)[1]->setValue(4321);

    trayEvent(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(frequencyReadouts(form)[1]->text(), "4321");
}

// A tray on the session bus sends a click as Trigger, and never a double click.
TEST_F(Tray, ASingleClickBringsTheWindowBackTooButTheMiddleButtonDoesNothing) {
    trayButton(form)->click();
    for (const auto reason : {QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown})
        trayEvent(reason);
    EXPECT_FALSE(form->isVisible());
    trayEvent(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(Tray, ThePopupMenuOffersTheWindowThenTheMenuMenusOwnItems) {
    const auto items = trayIcon(form)->contextMenu()->actions();
    ASSERT_EQ(items.size(), 13);
    EXPECT_EQ(items[0]->text(), "Show Calmfield");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items.mid(2), mainMenu(form)->actions());
    EXPECT_EQ(mainMenu(form)->actions().size(), 11) << "the window's own menu is unchanged";

    trayButton(form)->click();
    items[0]->trigger();
    EXPECT_TRUE(form->isVisible());
    trayButton(form)->click();
    items.last()->trigger(); // "Exit"
    EXPECT_EQ(trayIcon(form), nullptr);
    EXPECT_EQ(programEndings, 1);
}

class NoTray : public MainWindowFixture {
  protected:
    NoTray() {
        trayAvailable = false;
        startAgain();
    }
};

// On X11 a minimised window stays in the taskbar, so Tray and the start-in-tray timer minimise.
TEST_F(NoTray, MakesNoIconAndMinimisesInsteadOfHiding) {
    EXPECT_EQ(trayIcon(form), nullptr);
    trayButton(form)->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isMinimized());

    form->restoreWindow();
    ASSERT_FALSE(form->isMinimized());
    startInTrayBox(form)->setValue(CheckBox::kOn);
    form->armStartInTrayTimer();
    ASSERT_TRUE(testsupport::waitUntil([&] { return form->isMinimized(); }));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(NoTray, TheFirstTrayPressInARunSaysHowToGetTheWindowBack) {
    trayButton(form)->click();
    form->restoreWindow();
    trayButton(form)->click();
    EXPECT_EQ(messages.messages, QStringList{shell::kNoTrayMessage});
    startAgain();
    trayButton(form)->click();
    EXPECT_EQ(messages.messages.size(), 2) << "once in each run";
}

// On Wayland minimising may be ignored or leave no way back, so the window hides.
TEST_F(NoTray, HidesWhereAMinimisedWindowMayNotBeFoundAgain) {
    minimisedWindowsStayReachable = false;
    startAgain();
    trayButton(form)->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
    form->restoreWindow();
    startInTrayBox(form)->setValue(CheckBox::kOn);
    form->armStartInTrayTimer();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !form->isVisible(); }));
}

TEST_F(NoTray, ATrayThatAppearsLaterGetsTheIconUntilTheWindowCloses) {
    trayAvailable = true;
    form->trayMayHaveAppeared();
    ASSERT_NE(trayIcon(form), nullptr);
    trayButton(form)->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(messages.messages.isEmpty());

    form->close();
    form->trayMayHaveAppeared();
    EXPECT_EQ(trayIcon(form), nullptr);
}

} // namespace
} // namespace calmfield
