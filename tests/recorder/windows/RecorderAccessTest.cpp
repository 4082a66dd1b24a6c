// The recorder's windows without a mouse and without sight.

#include "QtPrinting.h"
#include "RecorderControls.h"
#include "ScriptedCommandStrings.h"
#include "recorder/windows/RecorderWindow.h"
#include "recorder/windows/SaveNameDialog.h"
#include "tests/support/AccessibilityChecks.h"
#include "tests/support/RecordingMessageSink.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

TEST(RecorderWindowAccess, TabStopsAreNamedAndRingedReadoutsNamedByWhatTheyShowAndEscapeKeepsIt) {
    testsupport::ScriptedCommandStrings commands;
    QPointer<recorder::RecorderWindow> form = new recorder::RecorderWindow(
        commands, [] {}, [] {});
    testsupport::showActive(*form);
    stopButton(form)->setEnabled(true);
    playButton(form)->setEnabled(true); // every button a Tab stop
    testsupport::expectTabStopsNamedInsideAndRinged(*form);

    commands.mode = "recording";
    commands.length = "88200";
    recordButton(form)->click();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(modeReadout(form))->text(QAccessible::Name),
              "Mode: recording");
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(informationReadout(form))->text(QAccessible::Name),
        "Take: 0.0882 megabytes, stereo");

    QTest::keyClick(recordButton(form), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible()) << "Escape could throw an unsaved take away";
    delete form.data();
}

TEST(SaveNameAccess, IsADialogWhoseBoxIsNamedByItsPromptAndEscapeClosesUnsaved) {
    testsupport::ScriptedCommandStrings commands;
    testsupport::RecordingMessageSink messages;
    QPointer<recorder::SaveNameDialog> form =
        new recorder::SaveNameDialog(recorder::RecorderServices{commands, messages, "/nowhere"});
    testsupport::showActive(*form);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form)->role(), QAccessible::Dialog);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(nameBox(form))->text(QAccessible::Name),
              prompt(form)->text());
    EXPECT_EQ(prompt(form)->buddy(), nameBox(form));
    testsupport::expectTabStopsNamedInsideAndRinged(*form);

    nameBox(form)->setText("take");
    QTest::keyClick(nameBox(form), Qt::Key_Escape);
    EXPECT_TRUE(form.isNull() || !form->isVisible());
    EXPECT_EQ(commands.actions(), std::vector<std::string>{}) << "nothing saved";

    delete form.data();
}

} // namespace
} // namespace calmfield
