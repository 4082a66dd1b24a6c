#include "MainWindowFixture.h"

namespace calmfield {
namespace {

using testing::MainWindowFixture;
using widgets::CheckBox;

class Tray : public MainWindowFixture {
  protected:
    void trayEvent(QSystemTrayIcon::ActivationReason reason) {
        emit form->trayIcon()->activated(reason);
    }
};

TEST_F(Tray, TrayHidesTheWindowAndADoubleClickBringsItBackAtNormalSize) {
    const QPoint place = form->pos();
    form->trayButton->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_NE(form->trayIcon(), nullptr);

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
    form->trayButton->click();
    form->frequencySliders[1]->setValue(4321);

    trayEvent(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(form->frequencyReadouts[1]->text(), "4321");
}

TEST_F(Tray, SingleClicksAndTheMiddleButtonDoNothing) {
    form->trayButton->click();
    for (const auto reason :
         {QSystemTrayIcon::Trigger, QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown})
        trayEvent(reason);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Tray, TheRightButtonOffersTheMenuMenu) {
    QMenu* popup = form->trayIcon()->contextMenu();
    ASSERT_EQ(popup, form->mainMenu);
    const auto items = popup->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0]->text(), "Load  Config");
    EXPECT_EQ(items[1]->text(), "Save Config");
    EXPECT_EQ(items[2]->menu(), form->sleepMenu);
    EXPECT_TRUE(items[3]->isSeparator());
    EXPECT_EQ(items[4]->text(), "Exit");

    form->trayButton->click();
    items[4]->trigger();
    EXPECT_EQ(form->trayIcon(), nullptr);
    EXPECT_EQ(programEndings, 1);
}

TEST_F(Tray, StartInTrayHidesTheWindowOnceTheTimerFires) {
    form->startInTrayBox->setValue(CheckBox::kOn);
    form->armStartInTrayTimer();
    EXPECT_TRUE(form->isVisible());
    ASSERT_TRUE(testing::waitUntil([&] { return !form->isVisible(); }));
    EXPECT_FALSE(form->startInTrayTimer->isActive());
    trayEvent(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(form->isVisible());
}

class NoTray : public MainWindowFixture {
  protected:
    NoTray() { trayAvailable = false; }
};

TEST_F(NoTray, TrayAndTheStartInTrayTimerMinimiseInsteadOfHiding) {
    form->trayButton->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isMinimized());

    form->restoreWindow();
    ASSERT_FALSE(form->isMinimized());
    form->startInTrayBox->setValue(CheckBox::kOn);
    form->armStartInTrayTimer();
    ASSERT_TRUE(testing::waitUntil([&] { return form->isMinimized(); }));
    EXPECT_TRUE(form->isVisible());
}

} // namespace
} // namespace calmfield
