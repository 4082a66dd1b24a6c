#include "MainWindowFixture.h"

#include "drift/DriftWindow.h"
#include "info/AboutWindow.h"
#include "info/ContactWindow.h"
#include "routineswindow/RoutinesWindow.h"
#include "tests/support/AccessibilityChecks.h"
#include "tone/ToneWindow.h"

#include <sys/stat.h>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::MainWindowFixture;
using widgets::CheckBox;

// The program made but not yet started, so that the start-up sequence can be watched.
class StartUp : public MainWindowFixture {
  protected:
    explicit StartUp(bool volumePortReachable = true)
        : MainWindowFixture({.volumePortReachable = volumePortReachable, .startUp = false}) {}
};

TEST_F(StartUp, RunsItsStepsInOrder) {
    std::vector<std::string> seen;
    volumePort.onCall = [&](const std::string& call) {
        seen.push_back(call + (form->isVisible() ? " shown" : " hidden") +
                       (trayIcon(form) ? " tray" : ""));
    };
    output.onStart = [&] {
        seen.push_back(std::string("sound device") + (form->isVisible() ? " shown" : " hidden") +
                       (trayIcon(form) ? " tray" : ""));
    };
    run->startUp();
    EXPECT_EQ(seen, (std::vector<std::string>{"open hidden", "sound device shown tray"}));
    EXPECT_NE(bank->channel(0), nullptr);
    EXPECT_TRUE(startInTrayTimer(form)->isActive());
    EXPECT_EQ(trayIcon(form)->toolTip(), "Calmfield");
    EXPECT_FALSE(trayIcon(form)->icon().isNull());
    EXPECT_TRUE(messages.messages.isEmpty());
    // The master slider's starting place is not sent.
    EXPECT_TRUE(volumePort.speakerVolumes().empty());
}

class VolumePortUnreachable : public StartUp {
  protected:
    VolumePortUnreachable() : StartUp(false) {}
};

// Started before its sound server, as at login, the program says so once and starts everything
// else, so that the sound plays once the server does.
TEST_F(VolumePortUnreachable, SaysSoOnceAndStartsAllElseForTheServerToCome) {
    const QByteArray stored = "0,1,0,0,0,0,-100,0,0,0,32000,32000,32000,32000,32000,0\r\n";
    testsupport::putFile(folder / "settings.ini", stored);
    run->startUp();
    EXPECT_EQ(
        messages.messages,
        QStringList{
            "Couldn't open the mixer. The sound starts by itself once the sound server runs."});
    EXPECT_NE(trayIcon(form), nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(colourToggles(form)[1]->value(), CheckBox::kOn) << "the settings are read";
    EXPECT_TRUE(channel(1).isPlaying());

    colourToggles(form)[3]->setValue(CheckBox::kOn);
    form->close();
    EXPECT_EQ(testsupport::contentOf(folder / "settings.ini"),
              "0,1,0,1,0,0,-100,0,0,0,32000,32000,32000,32000,32000,0\r\n");
    EXPECT_EQ(programEndings, 1);
    EXPECT_EQ(messages.messages.size(), 1);
}

class Closing : public MainWindowFixture,
                public ::testing::WithParamInterface<std::function<void(shell::MainWindow&)>> {};

TEST_P(Closing, EveryWayRunsTheSameShutdown) {
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    colourToggles(form)[3]->setValue(CheckBox::kOn);
    ASSERT_NE(trayIcon(form), nullptr);

    volumeSliders(form)[3]->setValue(-2500);
    startInTrayBox(form)->setValue(CheckBox::kOn);
    ASSERT_FALSE(std::filesystem::exists(folder / "settings.ini"));

    GetParam()(*form);

    EXPECT_EQ(testsupport::contentOf(folder / "settings.ini"),
              "1,0,0,1,0,0,0,0,-2500,0,32000,32000,32000,32000,32000,1\r\n");
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(trayIcon(form), nullptr);
    EXPECT_FALSE(form->isVisible());
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        EXPECT_FALSE(channel(colour).isPlaying()) << colour;
    EXPECT_EQ(programEndings, 1);
}

INSTANTIATE_TEST_SUITE_P(
    CloseExitAndCloseBox, Closing,
    ::testing::Values([](shell::MainWindow& form) { closeButton(form)->click(); },
                      [](shell::MainWindow& form) { exitAction(form)->trigger(); },
                      [](shell::MainWindow& form) { form.close(); }));

class ProgramLife : public MainWindowFixture {};

TEST_F(ProgramLife, EndsWhenTheMainWindowClosesAlone) {
    form->close();
    EXPECT_EQ(programEndings, 1);
}

TEST_F(ProgramLife, GoesOnWhileAnotherWindowIsOpenAndEndsWhenItCloses) {
    aboutAction(form)->trigger();
    form->close();
    EXPECT_EQ(programEndings, 0);
    windows->aboutWindow()->close();
    EXPECT_EQ(programEndings, 1);
}

TEST_F(ProgramLife, ClosingTheAboutWindowWhileTheMainOneIsInTheTrayDoesNotEndIt) {
    contactAction(form)->trigger();
    trayButton(form)->click();
    ASSERT_FALSE(form->isVisible());
    windows->contactWindow()->close();
    EXPECT_EQ(programEndings, 0);
    exitAction(form)->trigger(); // from the tray's menu
    EXPECT_EQ(programEndings, 1);
}

// As a second start of the program asks once the main window has closed.
TEST_F(ProgramLife, BringingTheProgramForwardShowsTheWindowsStillOpen) {
    aboutAction(form)->trigger();
    contactAction(form)->trigger();
    windows->contactWindow()->close();
    form->close();
    windows->aboutWindow()->showMinimized();
    EXPECT_EQ(windows->bringOpenWindowsForward(), windows->aboutWindow()) << "the one to activate";
    EXPECT_TRUE(windows->aboutWindow()->isVisible());
    EXPECT_FALSE(windows->aboutWindow()->isMinimized());
    EXPECT_FALSE(windows->contactWindow()->isVisible());
}

TEST_F(ProgramLife, ThereIsOneToneDriftAndRoutinesWindowEachClosedByEscapeAndWithTheMainWindow) {
    const std::pair<shell::layout::MenuRow, std::function<QWidget*()>> kinds[] = {
        {shell::layout::kToneItem, [this] { return windows->toneWindow(); }},
        {shell::layout::kDriftItem, [this] { return windows->driftWindow(); }},
        {shell::layout::kRoutinesItem, [this] { return windows->routinesWindow(); }},
    };
    for (const auto& [row, opened] : kinds) {
        SCOPED_TRACE(row.name);
        QAction* item = menuEntry<QAction>(form, row);
        item->trigger();
        const QPointer<QWidget> window = opened();
        item->trigger();
        EXPECT_EQ(opened(), window.data());
        testsupport::showActive(*window);
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(window);
        item->trigger();
    }
    EXPECT_EQ(windows->openWindowCount(), 4);
    form->close();
    EXPECT_EQ(windows->openWindowCount(), 0);
    EXPECT_EQ(programEndings, 1);
}

TEST_F(ProgramLife, ThereIsOneAboutAndOneContactWindowHoweverOftenTheyAreAskedFor) {
    aboutAction(form)->trigger();
    info::AboutWindow* about = windows->aboutWindow();
    aboutAction(form)->trigger();
    windows->showAbout();
    EXPECT_EQ(windows->aboutWindow(), about);
    EXPECT_TRUE(about->isVisible());

    contactAction(form)->trigger();
    info::ContactWindow* contact = windows->contactWindow();
    contact->close();
    contactAction(form)->trigger();
    EXPECT_EQ(windows->contactWindow(), contact);
    EXPECT_TRUE(contact->isVisible());
    EXPECT_EQ(windows->openWindowCount(), 3);
}

TEST_F(ProgramLife, HelpOpensTheHelpPageBesideTheProgram) {
    helpAction(form)->trigger();
    ASSERT_EQ(openedAddresses.size(), 1);
    EXPECT_TRUE(openedAddresses[0].isLocalFile());
    EXPECT_EQ(std::filesystem::path(openedAddresses[0].toLocalFile().toStdString()),
              folder / "help.htm");
}

TEST_F(ProgramLife, AHelpPageThatIsNotAFileIsNotHandedToTheDesktop) {
    std::filesystem::remove(folder / "help.htm");
    ASSERT_EQ(::mkfifo((folder / "help.htm").c_str(), 0600), 0);
    helpAction(form)->trigger();
    EXPECT_TRUE(openedAddresses.isEmpty());
}

} // namespace
} // namespace calmfield
