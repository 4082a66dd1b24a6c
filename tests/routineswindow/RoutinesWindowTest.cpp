// The routines window in the program: the routines file changed through its controls, and the
// next start or end with what may keep it from being heard.

#include "routineswindow/RoutinesWindow.h"
#include "MainWindowFixture.h"
#include "OwnConfigFolder.h"
#include "routineswindow/RoutinesWindowLayoutTable.h"
#include "tests/support/AccessibilityChecks.h"
#include "tests/support/FileSizeLimit.h"

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace routineswindow::layout;
using testsupport::contentOf;
using widgets::CheckBox;
using widgets::ControlRow;

class RoutinesWindow : public testsupport::OwnConfigFolder, public testsupport::MainWindowFixture {
  protected:
    // Opens the window over a routines file holding `lines`.
    QWidget* open(const QByteArray& lines) {
        fs::create_directories(userFolder);
        testsupport::putFile(file, lines);
        testsupport::menuEntry<QAction>(form, shell::layout::kRoutinesItem)->trigger();
        return windows->routinesWindow();
    }
    template <typename Control = QWidget> Control* control(const ControlRow& row) {
        return testsupport::named<Control>(windows->routinesWindow(), row.name);
    }
    void click(const ControlRow& row) { control<QAbstractButton>(row)->click(); }
    QString text(const ControlRow& row) { return control<QLabel>(row)->text(); }

    const fs::path file = userFolder / "routines";
};

TEST_F(RoutinesWindow, ChangesTheRoutinesThroughItsControlsKeepingTheOtherLinesInPlace) {
    open("# evenings\ndaily 22:30 07:00 30s 30m -\nsometimes at nine\n");
    EXPECT_EQ(control<widgets::Slider>(kRiseSlider)->value(), 6);
    EXPECT_EQ(control<widgets::Slider>(kFallSlider)->value(), 41);
    click(kDayBoxes[5]);
    click(kDayBoxes[6]);
    control<widgets::TimeBox>(kStartBox)->setTime(QTime(21, 15));
    click(kUntilStoppedBox);
    control<widgets::Slider>(kRiseSlider)->setValue(13);
    dialog.answers = {"/mixes/night.clm"};
    click(kFileMixButton);
    EXPECT_FALSE(control(kEndBox)->isEnabled());
    EXPECT_EQ(text(kRiseReadout), "2 min");
    EXPECT_EQ(control<QTreeWidget>(kRoutinesList)->topLevelItem(0)->text(4), "night.clm");

    click(kAddButton);
    for (const ControlRow& day : kDayBoxes)
        click(day); // the last stays ticked: the file has no routine of no day
    EXPECT_EQ(contentOf(file), "# evenings\nmon-fri 21:15 - 2m 30m /mixes/night.clm\n"
                               "sometimes at nine\noff sun 22:00 07:00 1m 10m -\n");

    auto* list = control<QTreeWidget>(kRoutinesList);
    list->setCurrentItem(list->topLevelItem(0));
    click(kRemoveButton);
    const QByteArray removed = "# evenings\noff sun 22:00 07:00 1m 10m -\nsometimes at nine\n";
    EXPECT_EQ(contentOf(file), removed);
    {
        const testsupport::FileSizeLimit full(8);
        click(kOnBox);
    }
    EXPECT_EQ(contentOf(file), removed);
    EXPECT_EQ(control<CheckBox>(kOnBox)->value(), CheckBox::kOff);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith("Calmfield cannot save its routines"));
}

TEST_F(RoutinesWindow, TellsTheNextEventAndWhatMayKeepItFromBeingHeard) {
    open("daily 22:30 07:00 30s 30m -\n");
    const QString awake = "The computer must be awake at the start time.";
    EXPECT_EQ(text(kNextReadout), "Next: 22:30 tonight, the mix that plays");
    EXPECT_EQ(text(kNotesLabel), awake + "\nCalmfield does not start at login, so routines run "
                                         "only while it is running.");
    click(kStartAtLoginBox);
    EXPECT_TRUE(fs::exists(entry));
    EXPECT_TRUE(testsupport::startAtLoginAction(form)->isChecked());
    EXPECT_EQ(text(kNotesLabel), awake);

    // The user service, enabled, starts it at login too.
    click(kStartAtLoginBox);
    EXPECT_FALSE(fs::exists(entry));
    const fs::path link = fs::path(config.path().toStdString()) /
                          "systemd/user/default.target.wants/calmfield.service";
    fs::create_directories(link.parent_path());
    fs::create_symlink(file, link);
    form->player().toggleMute();
    EXPECT_EQ(text(kNotesLabel), awake + "\nMute holds: the routine will be silent.");

    // The runner reaching the start tells the window: the end is next.
    run->program().startRoutines();
    wallClock += (14 * 60 + 31) * 60;
    run->program().routines().recheck();
    EXPECT_EQ(text(kNextReadout), "Next: 07:00 tomorrow, the mix that plays ends");

    click(kOnBox);
    EXPECT_EQ(text(kNextReadout), "No routine is on.");
    EXPECT_EQ(text(kNotesLabel), "");

    // Changed by hand, the file shows as the runner reads it.
    testsupport::putFile(file, "daily 06:00 - 0s 0s -\n");
    auto* list = control<QTreeWidget>(kRoutinesList);
    EXPECT_TRUE(testsupport::waitUntil([&] { return list->topLevelItem(0)->text(2) == "06:00"; }));
}

TEST_F(RoutinesWindow, KeyboardAndAssistiveTechnologyReachEveryControl) {
    QWidget* window = open("daily 22:30 - 0s 0s /mixes/night.clm\n");
    testsupport::showActive(*window);
    testsupport::expectTabStopsNamedInsideAndRinged(*window);
    for (const ControlRow& row : {kStartBox, kFileMixButton}) {
        control(row)->setFocus();
        QTest::keyClick(control(row), row.name == kStartBox.name ? Qt::Key_Up : Qt::Key_Left);
    }
    EXPECT_EQ(contentOf(file), "daily 23:30 - 0s 0s -\n");
}

} // namespace
} // namespace calmfield
