#include "ScriptedCommandStrings.h"
#include "recorder/windows/RecorderWindow.h"
#include "recorder/windows/SaveNameDialog.h"
#include "recorder/windows/TroubleshootingWindow.h"
#include "tests/shell/MainWindowFixture.h"

namespace calmfield {
namespace {

const std::string kOpen = "open new type waveaudio alias capture";

void deleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The main window over windows that include the recorder.
class RecorderInTheProgram : public testing::MainWindowFixture {
  protected:
    RecorderInTheProgram() {
        const shell::MainWindowServices usual = services();
        form = std::make_unique<shell::MainWindow>(
            shell::MainWindowServices{output, mixer, messages, folder, usual.openUrl,
                                      usual.trayAvailable, &dialog, userFolder});
        programWindows.adoptMainWindow(*form);
        form->startUp();
    }
    ~RecorderInTheProgram() override { form.reset(); }

    testing::ScriptedCommandStrings commands;
    int endings = 0;
    app::ProgramWindows programWindows{
        [](const QUrl&) { return false; }, [this] { ++endings; },
        recorder::RecorderServices{commands, messages, scratch.path().toStdString()}};
};

TEST_F(RecorderInTheProgram, RecordShowsOneRecorderWindowAndItsWindowsOneEach) {
    form->recordButton->click();
    recorder::RecorderWindow* recorder = programWindows.recorderWindow();
    ASSERT_NE(recorder, nullptr);
    form->recordButton->click();
    EXPECT_EQ(programWindows.recorderWindow(), recorder);
    EXPECT_TRUE(recorder->isVisible());
    EXPECT_EQ(commands.count(kOpen), 1);

    recorder->Command2->click();
    recorder->Command3->click();
    recorder->Command5->click();
    recorder->Command5->click();
    recorder->Command6->click();
    recorder->Command6->click();
    EXPECT_EQ(programWindows.openWindowCount(), 4);
    EXPECT_TRUE(programWindows.saveNameDialog()->isVisible());
    EXPECT_TRUE(programWindows.troubleshootingWindow()->isVisible());

    recorder->close();
    deleteClosedWindows();
    EXPECT_EQ(programWindows.recorderWindow(), nullptr);
    form->recordButton->click();
    ASSERT_NE(programWindows.recorderWindow(), nullptr);
    EXPECT_EQ(programWindows.recorderWindow()->Command2->isEnabled(), true) << "a new window";
    EXPECT_EQ(commands.count(kOpen), 2);
}

TEST_F(RecorderInTheProgram, TheProgramEndsWhenTheRecorderClosesAfterTheMainWindow) {
    form->recordButton->click();
    recorder::RecorderWindow* recorder = programWindows.recorderWindow();
    recorder->Command2->click();
    form->close();
    EXPECT_EQ(endings, 0);
    EXPECT_TRUE(recorder->isVisible());
    EXPECT_EQ(commands.count("close capture"), 0);

    // Closing mid-take closes the capture element once, stops the polls and ends the window.
    recorder->close();
    EXPECT_EQ(endings, 1);
    EXPECT_FALSE(recorder->Timer1->isActive() || recorder->Timer2->isActive() ||
                 recorder->Timer3->isActive());
    EXPECT_EQ(commands.actions().back(), "close capture");
    deleteClosedWindows();
    EXPECT_EQ(programWindows.recorderWindow(), nullptr);
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
