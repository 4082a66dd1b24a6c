// The recorder's windows among the program's windows: opened from the main window's Record
// button, each made once, and closed with the program.

#include "RecorderControls.h"
#include "ScriptedCommandStrings.h"
#include "app/NoiseSession.h"
#include "app/ProgramWindows.h"
#include "recorder/windows/RecorderWindow.h"
#include "recorder/windows/SaveNameDialog.h"
#include "recorder/windows/TroubleshootingWindow.h"
#include "shell/MainWindow.h"
#include "tests/support/FakeVolumePort.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialog.h"
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QWindow>

#include <memory>

namespace calmfield {
namespace {

using namespace calmfield::testing;

const std::string kOpen = "open new type waveaudio alias capture";

void deleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The main window, started up over test doubles, among windows that include the recorder.
class RecorderInTheProgram : public ::testing::Test {
  protected:
    RecorderInTheProgram() {
        form = std::make_unique<shell::MainWindow>(shell::MainWindowServices{
            session.player(), session.recentMixes(), messages, folder,
            [](const QUrl&) { return false; }, [] { return true; }, &dialog});
        session.endWhenClosed(*form);
        windows.adoptMainWindow(*form);
        session.startUp(*form);
    }

    // The main window's Record button.
    void clickRecord() { form->findChild<QAbstractButton*>("Command3")->click(); }

    QTemporaryDir scratch;
    std::filesystem::path scratchPath = scratch.path().toStdString();
    std::filesystem::path folder = testsupport::linkedProgramFolder(scratchPath / "program");
    testsupport::ScriptedFileDialog dialog;
    testsupport::MemorySoundOutput output{22050};
    engine::ChannelBank bank{output};
    testsupport::FakeVolumePort volumePort;
    testsupport::RecordingMessageSink messages;
    app::NoiseSession session{bank, volumePort, {folder, scratchPath / "user"}, messages};
    testing::ScriptedCommandStrings commands;
    int endings = 0;
    app::ProgramWindows windows{[](const QUrl&) { return false; }, [this] { ++endings; },
                                recorder::RecorderServices{commands, messages, scratchPath}};
    std::unique_ptr<shell::MainWindow> form;
};

TEST_F(RecorderInTheProgram, RecordShowsOneRecorderWindowAndItsWindowsOneEach) {
    clickRecord();
    recorder::RecorderWindow* recorder = windows.recorderWindow();
    ASSERT_NE(recorder, nullptr);
    clickRecord();
    EXPECT_EQ(windows.recorderWindow(), recorder);
    EXPECT_TRUE(recorder->isVisible());
    EXPECT_EQ(commands.count(kOpen), 1);

    recordButton(recorder)->click();
    stopButton(recorder)->click();
    saveButton(recorder)->click();
    saveButton(recorder)->click();
    helpButton(recorder)->click();
    helpButton(recorder)->click();
    EXPECT_EQ(windows.openWindowCount(), 4);
    EXPECT_TRUE(windows.saveNameDialog()->isVisible());
    EXPECT_TRUE(windows.troubleshootingWindow()->isVisible());
    for (const QWidget* shown : {static_cast<QWidget*>(windows.saveNameDialog()),
                                 static_cast<QWidget*>(windows.troubleshootingWindow())})
        EXPECT_EQ(shown->windowHandle()->transientParent(), recorder->windowHandle());

    recorder->close();
    deleteClosedWindows();
    EXPECT_EQ(windows.recorderWindow(), nullptr);
    clickRecord();
    ASSERT_NE(windows.recorderWindow(), nullptr);
    EXPECT_EQ(recordButton(windows.recorderWindow())->isEnabled(), true) << "a new window";
    EXPECT_EQ(commands.count(kOpen), 2);
}

TEST_F(RecorderInTheProgram, TheProgramEndsWhenTheRecorderClosesAfterTheMainWindow) {
    clickRecord();
    recorder::RecorderWindow* recorder = windows.recorderWindow();
    commands.mode = "recording";
    recordButton(recorder)->click();
    form->close();
    EXPECT_EQ(endings, 0);
    EXPECT_TRUE(recorder->isVisible());
    EXPECT_EQ(commands.count("close capture"), 0);

    // Closing mid-take closes the capture element once, stops the polls and ends the window.
    recorder->close();
    EXPECT_EQ(endings, 1);
    EXPECT_FALSE(modePoll(recorder)->isActive() || sizePoll(recorder)->isActive() ||
                 elapsedClock(recorder)->isActive());
    EXPECT_EQ(commands.actions().back(), "close capture");
    deleteClosedWindows();
    EXPECT_EQ(windows.recorderWindow(), nullptr);
    EXPECT_EQ(commands.count("close capture"), 1);
}

TEST(RecorderWindows, AreClosedWithTheProgram) {
    testing::ScriptedCommandStrings commands;
    testsupport::RecordingMessageSink messages;
    {
        app::ProgramWindows windows([](const QUrl&) { return false; }, [] {},
                                    recorder::RecorderServices{commands, messages, "/home/ann"});
        windows.showRecorder();
        windows.showSaveName();
    }
    EXPECT_EQ(commands.actions(), (std::vector<std::string>{kOpen, "close capture"}));
}

} // namespace
} // namespace calmfield
