#include "recorder/windows/RecorderWindow.h"
#include "QtPrinting.h"
#include "ScriptedCommandStrings.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QScreen>

namespace calmfield {
namespace {

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
             {form->recordButton, form->stopButton, form->playButton, form->saveButton,
              form->resetButton, form->helpButton})
            if (button->isEnabled())
                shown += button->text().trimmed().toStdString() + " ";
        shown += "|";
        for (const QAction* entry : {form->lowQuality, form->mediumQuality, form->highQuality})
            if (entry->isEnabled())
                shown += " " + entry->text().section(' ', 0, 0).toStdString() +
                         (entry->isChecked() ? "*" : "");
        return shown + " | clock " +
               (form->elapsedClock->isActive() ? std::to_string(form->elapsedClock->interval())
                                               : "stopped");
    }

    // The polls that run, each with its interval.
    std::string polls() const {
        std::string running;
        if (form->modePoll->isActive())
            running += "mode " + std::to_string(form->modePoll->interval());
        if (form->sizePoll->isActive())
            running += " size " + std::to_string(form->sizePoll->interval());
        return running.empty() ? "none" : running;
    }

    testing::ScriptedCommandStrings commands;
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
        form->recordButton->click();
        EXPECT_EQ(state(), "Record Stop Help | High* | clock 1000");
        EXPECT_EQ(commands.actions(), kStartTakeAtHigh);
        EXPECT_EQ(form->elapsedReadout->text(), "00:00:00") << "take " << take;
        now = now.addSecs(30);
        tick(form->elapsedClock);
        EXPECT_EQ(form->elapsedReadout->text(), "00:00:30") << "take " << take;
    }

    now = now.addSecs(35);
    form->stopButton->click();
    EXPECT_EQ(state(), "Stop Play Save Reset Help | Low Medium High* | clock stopped");
    EXPECT_EQ(form->elapsedReadout->text(), "00:01:05");

    commands.sent.clear();
    form->playButton->click();
    EXPECT_EQ(form->elapsedReadout->text(), "");
    now = now.addSecs(5);
    form->stopButton->click();
    EXPECT_EQ(form->elapsedReadout->text(), "00:01:10") << "counted from the take's start";
    EXPECT_EQ(commands.actions(), (Commands{"play capture from 0", "stop capture"}));
    EXPECT_EQ(state(), "Stop Play Save Reset Help | Low Medium High* | clock stopped");

    form->saveButton->click();
    form->helpButton->click();
    EXPECT_EQ(saveNameShown, 1);
    EXPECT_EQ(troubleshootingShown, 1);
    EXPECT_EQ(commands.actions(), (Commands{"play capture from 0", "stop capture"}));
}

TEST_F(RecorderWindowTest, TheCheckedQualityGivesTheRateAndStaysTheOnlyEntryEnabled) {
    form->lowQuality->trigger();
    EXPECT_EQ(state(), "Record Help | Low* Medium High | clock stopped");
    commands.sent.clear();
    form->recordButton->click();
    EXPECT_EQ(commands.actions()[1], "set capture samplespersec 11025");
    EXPECT_EQ(state(), "Record Stop Help | Low* | clock 1000");

    form->stopButton->click();
    form->resetButton->click();
    form->mediumQuality->trigger();
    commands.sent.clear();
    form->recordButton->click();
    EXPECT_EQ(commands.actions()[1], "set capture samplespersec 22050");
}

// The readouts follow every change at once; in between, only what can change by itself is
// polled, and an idle window polls nothing.
TEST_F(RecorderWindowTest, ReadoutsFollowEveryChangeAndOnlyABusyElementIsPolled) {
    EXPECT_EQ(form->modeReadout->text(), " stopped");
    EXPECT_EQ(form->informationReadout->text(), kSizeOfNoTake);
    EXPECT_EQ(polls(), "none");

    commands.mode = "recording";
    form->recordButton->click();
    EXPECT_EQ(form->modeReadout->text(), " recording");
    EXPECT_EQ(polls(), "mode 500 size 19");
    commands.length = "1234567";
    tick(form->sizePoll);
    EXPECT_EQ(form->informationReadout->text(), "MBytes :  1.234567\r\nChannels : 2 (stereo)\r\n");
    EXPECT_EQ(commands.sent[commands.sent.size() - 2], "set capture time format bytes");
    EXPECT_EQ(commands.sent.back(), "status capture length");

    // The take ends by itself, as on a full disk: both readouts show it, the polls stop, and the
    // clock runs on until Stop.
    commands.mode = "stopped";
    commands.length = "88200";
    tick(form->modePoll);
    EXPECT_EQ(form->modeReadout->text(), " stopped");
    EXPECT_EQ(form->informationReadout->text(), "MBytes :  .0882\r\nChannels : 2 (stereo)\r\n");
    EXPECT_EQ(polls(), "none");
    EXPECT_TRUE(form->elapsedClock->isActive());

    commands.mode = "playing";
    form->stopButton->click();
    form->playButton->click();
    EXPECT_EQ(form->modeReadout->text(), " playing");
    EXPECT_EQ(polls(), "mode 500") << "a playback does not change the size";
    commands.mode = "not ready";
    tick(form->modePoll);
    EXPECT_EQ(form->modeReadout->text(), " not ready");
    EXPECT_EQ(polls(), "mode 500") << "waiting for the sound server";
    commands.mode = "stopped";
    tick(form->modePoll);
    EXPECT_EQ(form->modeReadout->text(), " stopped");
    EXPECT_EQ(polls(), "none");

    // No element answers: no answer will come by waiting, and the size is left as it was.
    commands.failure = "the recorder is not open";
    form->playButton->click();
    EXPECT_EQ(form->modeReadout->text(), " ");
    EXPECT_EQ(form->informationReadout->text(), "MBytes :  .0882\r\nChannels : 2 (stereo)\r\n");
    EXPECT_EQ(polls(), "none");
}

TEST_F(RecorderWindowTest, ResetClosesAndOpensAgainAndShowsTheWindowAsItOpened) {
    form->mediumQuality->trigger();
    form->recordButton->click();
    form->stopButton->click();
    commands.mode = "playing";
    commands.length = "5000";
    form->playButton->click();
    form->outOfSightBox->setText("typed");
    form->move(0, 0);

    commands.sent.clear();
    commands.mode = "stopped";
    commands.length = "0";
    form->resetButton->click();
    EXPECT_EQ(commands.actions(),
              (Commands{"close capture", "open new type waveaudio alias capture"}));
    EXPECT_EQ(state(), kReady);
    EXPECT_EQ(polls(), "none");
    EXPECT_EQ(form->elapsedReadout->text(), "00:00:00");
    EXPECT_EQ(form->modeReadout->text(), " stopped");
    EXPECT_EQ(form->informationReadout->text(), kSizeOfNoTake);
    EXPECT_EQ(form->outOfSightBox->text(), "Text2");
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((form->frameGeometry().center() - centre).manhattanLength(), 1);
}

} // namespace
} // namespace calmfield
