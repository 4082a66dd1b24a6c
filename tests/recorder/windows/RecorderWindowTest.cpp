#include "recorder/windows/RecorderWindow.h"
#include "ScriptedCommandStrings.h"
#include "tests/shell/MainWindowFixture.h"

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
             {form->Command2, form->Command3, form->Command4, form->Command5, form->Command1,
              form->Command6})
            if (button->isEnabled())
                shown += button->text().trimmed().toStdString() + " ";
        shown += "|";
        for (const QAction* entry : {form->low, form->med, form->high})
            if (entry->isEnabled())
                shown += " " + entry->text().section(' ', 0, 0).toStdString() +
                         (entry->isChecked() ? "*" : "");
        return shown + " | clock " +
               (form->Timer3->isActive() ? std::to_string(form->Timer3->interval()) : "stopped");
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
    EXPECT_TRUE(form->Timer1->isActive() && form->Timer2->isActive());

    // Recording again restarts the take and the clock.
    for (int take = 1; take <= 2; ++take) {
        commands.sent.clear();
        form->Command2->click();
        EXPECT_EQ(state(), "Record Stop Help | High* | clock 1000");
        EXPECT_EQ(commands.actions(), kStartTakeAtHigh);
        EXPECT_EQ(form->Text1->text(), "00:00:00") << "take " << take;
        now = now.addSecs(30);
        tick(form->Timer3);
        EXPECT_EQ(form->Text1->text(), "00:00:30") << "take " << take;
    }

    now = now.addSecs(35);
    form->Command3->click();
    EXPECT_EQ(state(), "Stop Play Save Reset Help | Low Medium High* | clock stopped");
    EXPECT_EQ(form->Text1->text(), "00:01:05");

    commands.sent.clear();
    form->Command4->click();
    EXPECT_EQ(form->Text1->text(), "");
    now = now.addSecs(5);
    form->Command3->click();
    EXPECT_EQ(form->Text1->text(), "00:01:10") << "counted from the take's start";
    EXPECT_EQ(commands.actions(), (Commands{"play capture from 0", "stop capture"}));
    EXPECT_EQ(state(), "Stop Play Save Reset Help | Low Medium High* | clock stopped");

    form->Command5->click();
    form->Command6->click();
    EXPECT_EQ(saveNameShown, 1);
    EXPECT_EQ(troubleshootingShown, 1);
    EXPECT_EQ(commands.actions(), (Commands{"play capture from 0", "stop capture"}));
}

TEST_F(RecorderWindowTest, TheCheckedQualityGivesTheRateAndStaysTheOnlyEntryEnabled) {
    form->low->trigger();
    EXPECT_EQ(state(), "Record Help | Low* Medium High | clock stopped");
    commands.sent.clear();
    form->Command2->click();
    EXPECT_EQ(commands.actions()[1], "set capture samplespersec 11025");
    EXPECT_EQ(state(), "Record Stop Help | Low* | clock 1000");

    form->Command3->click();
    form->Command1->click();
    form->med->trigger();
    commands.sent.clear();
    form->Command2->click();
    EXPECT_EQ(commands.actions()[1], "set capture samplespersec 22050");
}

TEST_F(RecorderWindowTest, ReadoutsShowTheModeAndTheSizePolledFastestWhileATakeGrows) {
    commands.mode = "recording";
    tick(form->Timer1);
    EXPECT_EQ(form->Label1->text(), " recording");

    EXPECT_EQ(form->Timer2->interval(), 19);
    commands.length = "1234567";
    tick(form->Timer2);
    EXPECT_EQ(form->Label3->text(), "MBytes :  1.234567\r\nChannels : 2 (stereo)\r\n");
    EXPECT_EQ(commands.sent.back(), "status capture length");
    EXPECT_EQ(commands.sent[commands.sent.size() - 2], "set capture time format bytes");
    EXPECT_EQ(form->Timer2->interval(), 500) << "no take is growing";
    form->Command2->click();
    tick(form->Timer2);
    EXPECT_EQ(form->Timer2->interval(), 19);

    commands.length = "88200";
    form->Command3->click();
    EXPECT_EQ(form->Label3->text(), "MBytes :  .0882\r\nChannels : 2 (stereo)\r\n")
        << "the final size shows at once";
    EXPECT_EQ(form->Timer2->interval(), 500);
    EXPECT_TRUE(form->Timer2->isActive());

    commands.failure = "the recorder is not open";
    tick(form->Timer1);
    tick(form->Timer2);
    EXPECT_EQ(form->Label1->text(), " ");
    EXPECT_EQ(form->Label3->text(), "MBytes :  .0882\r\nChannels : 2 (stereo)\r\n")
        << "a reply that is no number leaves the readout as it was";
}

TEST_F(RecorderWindowTest, ResetClosesAndOpensAgainAndShowsTheWindowAsItOpened) {
    form->med->trigger();
    form->Command2->click();
    form->Command3->click();
    tick(form->Timer1);
    tick(form->Timer2);
    form->Text2->setText("typed");
    form->move(0, 0);

    commands.sent.clear();
    form->Command1->click();
    EXPECT_EQ(commands.actions(),
              (Commands{"close capture", "open new type waveaudio alias capture"}));
    EXPECT_EQ(state(), kReady);
    EXPECT_EQ(form->Text1->text(), "00:00:00");
    EXPECT_EQ(form->Label1->text(), "");
    EXPECT_EQ(form->Label3->text(), "");
    EXPECT_EQ(form->Text2->text(), "Text2");
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((form->frameGeometry().center() - centre).manhattanLength(), 1);
}

} // namespace
} // namespace calmfield
