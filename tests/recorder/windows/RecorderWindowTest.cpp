#include "recorder/windows/RecorderWindow.h"
#include "QtPrinting.h"
#include "RecorderControls.h"
#include "ScriptedCommandStrings.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QScreen>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using Commands = std::vector<std::string>;

const Commands kStartTakeAtHigh{"seek capture to start", "set capture samplespersec 44100",
                                "set capture bitspersample 8", "set capture channels 2",
                                "record capture"};
const std::string kReady = "Record Help | Low Medium High* | clock stopped";
const QString kSizeOfNoTake = "MBytes :  0\r\nChannels : 2 (stereo)\r\n";

class RecorderWindowTest : public ::testing::Test {
  protected:
    ~RecorderWindowTest() override { delete form.data(); }

    // Runs one tick of `timer` now.
    static void tick(QTimer* timer) { QMetaObject::invokeMethod(timer, "timeout"); }

    // The enabled buttons, the enabled quality entries with a star on the checked one, and the
    // elapsed-time clock.
    std::string state() const {
        std::string shown;
        for (const widgets::GraphicalButton* button :
             {recordButton(form), stopButton(form), playButton(form), saveButton(form),
              resetButton(form), helpButton(form)})
            if (button->isEnabled())
                shown += button->text().trimmed().toStdString() + " ";
        shown += "|";
        for (const QAction* entry : {lowQuality(form), mediumQuality(form), highQuality(form)})
            if (entry->isEnabled())
                shown += " " + entry->text().section(' ', 0, 0).toStdString() +
                         (entry->isChecked() ? "*" : "");
        return shown + " | clock " +
               (elapsedClock(form)->isActive() ? std::to_string(elapsedClock(form)->interval())
                                               : "stopped");
    }

    // The polls that run, each with its interval.
    std::string polls() const {
        std::string running;
        if (modePoll(form)->isActive())
            running += "mode " + std::to_string(modePoll(form)->interval());
        if (sizePoll(form)->isActive())
            running += " size " + std::to_string(sizePoll(form)->interval());
        return running.empty() ? "none" : running;
    }

    testsupport::ScriptedCommandStrings commands;
    QDateTime now{QDate(2024, 5, 1), QTime(10, 0, 0)};
    int saveNameShown = 0;
    int troubleshootingShown = 0;
    QPointer<recorder::RecorderWindow> form = new recorder::RecorderWindow(
        commands, [this] { ++saveNameShown; }, [this] { ++troubleshootingShown; },
        [this] { return now; });
};

TEST_F(RecorderWindowTest, GoesThroughItsStatesByTheButtons) {
    EXPECT_EQ(state(), kReady);

    // Recording again restarts the take and the clock.
    for (int take = 1; take <= 2; ++take) {
        commands.sent.clear();
        recordButton(form)->click();
        EXPECT_EQ(state(), "Record Stop Help | High* | clock 1000");
        EXPECT_EQ(commands.actions(), kStartTakeAtHigh);
        EXPECT_EQ(elapsedReadout(form)->text(), "00:00:00") << "take " << take;
        now = now.addSecs(30);
        tick(elapsedClock(form));
        EXPECT_EQ(elapsedReadout(form)->text(), "00:00:30") << "take " << take;
    }

    now = now.addSecs(35);
    stopButton(form)->click();
    EXPECT_EQ(state(), "Stop Play Save Reset Help | Low Medium High* | clock stopped");
    EXPECT_EQ(elapsedReadout(form)->text(), "00:01:05");

    commands.sent.clear();
    playButton(form)->click();
    EXPECT_EQ(elapsedReadout(form)->text(), "");
    now = now.addSecs(5);
    stopButton(form)->click();
    EXPECT_EQ(elapsedReadout(form)->text(), "00:01:10") << "counted from the take's start";
    EXPECT_EQ(commands.actions(), (Commands{"play capture from 0", "stop capture"}));
    EXPECT_EQ(state(), "Stop Play Save Reset Help | Low Medium High* | clock stopped");

    saveButton(form)->click();
    helpButton(form)->click();
    EXPECT_EQ(saveNameShown, 1);
    EXPECT_EQ(troubleshootingShown, 1);
    EXPECT_EQ(commands.actions(), (Commands{"play capture from 0", "stop capture"}));
}

TEST_F(RecorderWindowTest, TheCheckedQualityGivesTheRateAndStaysTheOnlyEntryEnabled) {
    lowQuality(form)->trigger();
    EXPECT_EQ(state(), "Record Help | Low* Medium High | clock stopped");
    commands.sent.clear();
    recordButton(form)->click();
    EXPECT_EQ(commands.actions()[1], "set capture samplespersec 11025");
    EXPECT_EQ(state(), "Record Stop Help | Low* | clock 1000");

    stopButton(form)->click();
    resetButton(form)->click();
    mediumQuality(form)->trigger();
    commands.sent.clear();
    recordButton(form)->click();
    EXPECT_EQ(commands.actions()[1], "set capture samplespersec 22050");
}

// The readouts follow every change at once; in between, only what can change by itself is
// polled, and an idle window polls nothing.
TEST_F(RecorderWindowTest, ReadoutsFollowEveryChangeAndOnlyABusyElementIsPolled) {
    EXPECT_EQ(modeReadout(form)->text(), " stopped");
    EXPECT_EQ(informationReadout(form)->text(), kSizeOfNoTake);
    EXPECT_EQ(polls(), "none");

    commands.mode = "recording";
    recordButton(form)->click();
    EXPECT_EQ(modeReadout(form)->text(), " recording");
    EXPECT_EQ(polls(), "mode 500 size 19");
    commands.length = "1234567";
    tick(sizePoll(form));
    EXPECT_EQ(informationReadout(form)->text(), "MBytes :  1.234567\r\nChannels : 2 (stereo)\r\n");
    EXPECT_EQ(commands.sent[commands.sent.size() - 2], "set capture time format bytes");
    EXPECT_EQ(commands.sent.back(), "status capture length");

    // The take ends by itself, as on a full disk: both readouts show it, the polls stop, and the
    // clock runs on until Stop.
    commands.mode = "stopped";
    commands.length = "88200";
    tick(modePoll(form));
    EXPECT_EQ(modeReadout(form)->text(), " stopped");
    EXPECT_EQ(informationReadout(form)->text(), "MBytes :  .0882\r\nChannels : 2 (stereo)\r\n");
    EXPECT_EQ(polls(), "none");
    EXPECT_TRUE(elapsedClock(form)->isActive());

    commands.mode = "playing";
    stopButton(form)->click();
    playButton(form)->click();
    EXPECT_EQ(modeReadout(form)->text(), " playing");
    EXPECT_EQ(polls(), "mode 500") << "a playback does not change the size";
    commands.mode = "not ready";
    tick(modePoll(form));
    EXPECT_EQ(modeReadout(form)->text(), " not ready");
    EXPECT_EQ(polls(), "mode 500") << "waiting for the sound server";
    commands.mode = "stopped";
    tick(modePoll(form));
    EXPECT_EQ(modeReadout(form)->text(), " stopped");
    EXPECT_EQ(polls(), "none");

    // No element answers: no answer will come by waiting, and the size is left as it was.
    commands.failure = "the recorder is not open";
    playButton(form)->click();
    EXPECT_EQ(modeReadout(form)->text(), " ");
    EXPECT_EQ(informationReadout(form)->text(), "MBytes :  .0882\r\nChannels : 2 (stereo)\r\n");
    EXPECT_EQ(polls(), "none");
}

TEST_F(RecorderWindowTest, ResetClosesAndOpensAgainAndShowsTheWindowAsItOpened) {
    mediumQuality(form)->trigger();
    recordButton(form)->click();
    stopButton(form)->click();
    commands.mode = "playing";
    commands.length = "5000";
    playButton(form)->click();
    outOfSightBox(form)->setText("typed");
    form->move(0, 0);

    commands.sent.clear();
    commands.mode = "stopped";
    commands.length = "0";
    resetButton(form)->click();
    EXPECT_EQ(commands.actions(),
              (Commands{"close capture", "open new type waveaudio alias capture"}));
    EXPECT_EQ(state(), kReady);
    EXPECT_EQ(polls(), "none");
    EXPECT_EQ(elapsedReadout(form)->text(), "00:00:00");
    EXPECT_EQ(modeReadout(form)->text(), " stopped");
    EXPECT_EQ(informationReadout(form)->text(), kSizeOfNoTake);
    EXPECT_EQ(outOfSightBox(form)->text(), "Text2");
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((form->frameGeometry().center() - centre).manhattanLength(), 1);
}

} // namespace
} // namespace calmfield
