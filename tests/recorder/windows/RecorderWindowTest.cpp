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
    EXPECT_TRUE(form->modePoll->isActive() && form->sizePoll->isActive());

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

TEST_F(RecorderWindowTest, ReadoutsShowTheModeAndTheSizePolledFastestWhileATakeGrows) {
    commands.mode = "recording";
    tick(form->modePoll);
    EXPECT_EQ(form->modeReadout->text(), " recording");

    EXPECT_EQ(form->sizePoll->interval(), 19);
    commands.length = "1234567";
    tick(form->sizePoll);
    EXPECT_EQ(form->informationReadout->text(), "MBytes :  1.234567\r\nChannels : 2 (stereo)\r\n");
    EXPECT_EQ(commands.sent.back(), "status capture length");
    EXPECT_EQ(commands.sent[commands.sent.size() - 2], "set capture time format bytes");
    EXPECT_EQ(form->sizePoll->interval(), 500) << "no take is growing";
    form->recordButton->click();
    tick(form->sizePoll);
    EXPECT_EQ(form->sizePoll->interval(), 19);

    commands.length = "88200";
    form->stopButton->click();
    EXPECT_EQ(form->informationReadout->text(), "MBytes :  .0882\r\nChannels : 2 (stereo)\r\n")
        << "the final size shows at once";
    EXPECT_EQ(form->sizePoll->interval(), 500);
    EXPECT_TRUE(form->sizePoll->isActive());

    commands.failure = "the recorder is not open";
    tick(form->modePoll);
    tick(form->sizePoll);
    EXPECT_EQ(form->modeReadout->text(), " ");
    EXPECT_EQ(form->informationReadout->text(), "MBytes :  .0882\r\nChannels : 2 (stereo)\r\n")
        << "a reply that is no number leaves the readout as it was";
}

TEST_F(RecorderWindowTest, ResetClosesAndOpensAgainAndShowsTheWindowAsItOpened) {
    form->mediumQuality->trigger();
    form->recordButton->click();
    form->stopButton->click();
    tick(form->modePoll);
    tick(form->sizePoll);
    form->outOfSightBox->setText("typed");
    form->move(0, 0);

    commands.sent.clear();
    form->resetButton->click();
    EXPECT_EQ(commands.actions(),
              (Commands{"close capture", "open new type waveaudio alias capture"}));
    EXPECT_EQ(state(), kReady);
    EXPECT_EQ(form->elapsedReadout->text(), "00:00:00");
    EXPECT_EQ(form->modeReadout->text(), "");
    EXPECT_EQ(form->informationReadout->text(), "");
    EXPECT_EQ(form->outOfSightBox->text(), "Text2");
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((form->frameGeometry().center() - centre).manhattanLength(), 1);
}

} // namespace
} // namespace calmfield
