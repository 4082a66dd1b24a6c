// The recorder's windows among the program's windows: opened from the main window's Record
// button, each made once, and closed with the program.

#include "RecorderControls.h"
#include "ScriptedCommandStrings.h"
#include "app/WindowRun.h"
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

using namespace calmfield::testsupport;

const std::string kOpen = "open new type waveaudio alias capture";

void deleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The program with its windows, started up over test doubles and a scripted recorder.
class RecorderInTheProgram : public ::testing::Test {
  protected:
    RecorderInTheProgram() { run.startUp(); }

    // The main window's Record button.
    void clickRecord() { run.mainWindow()->findChild<QAbstractButton*>("Command3")->click(); }

    QTemporaryDir scratch;
    std::filesystem::path scratchPath = scratch.path().toStdString();
    std::filesystem::path folder = testsupport::linkedProgramFolder(scratchPath / "program");
    testsupport::ScriptedFileDialog dialog;
    testsupport::MemorySoundOutput output{22050};
    testsupport::FakeVolumePort volumePort;
    testsupport::RecordingMessageSink messages;
    testsupport::ScriptedCommandStrings commands;
    int endings = 0;
    app::WindowRun run{{
        .devices = {output, volumePort},
        .folders = {folder, scratchPath / "user"},
        .messages = messages,
        .openUrl = [](const QUrl&) { return false; },
        .trayAvailable = [] { return true; },
        .fileDialog = &dialog,
        .recorder = recorder::RecorderServices{commands, messages, scratchPath},
        .endProgram = [this] { ++endings; },
    }};
    app::ProgramWindows& windows = run.windows();
    shell::MainWindow* form = run.mainWindow();
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
    testsupport::ScriptedCommandStrings commands;
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
