#include "info/ContactWindow.h"
#include "tests/support/NamedControl.h"

#include <QTest>

#include <gtest/gtest.h>

namespace calmfield {
namespace {

using testsupport::named;

TEST(ContactWindow, InvitesTheUserToWriteToTheSupportAddress) {
    info::ContactWindow form;
    const QLabel* invitation = named<QLabel>(&form, "Label1");
    const QLabel* supportAddress = named<QLabel>(&form, "Label2");
    EXPECT_EQ(invitation->text(),
              "If you have a problem, query or a suggestion about this product, "
              "please contact us at the address below.");
    EXPECT_EQ(supportAddress->text(), "support@calmfield.example");
    EXPECT_EQ(invitation->geometry(), QRect(8, 8, 297, 33));
    EXPECT_EQ(supportAddress->geometry(), QRect(8, 40, 297, 25));
}

TEST(ContactWindow, NotesAreCentredWrappedTextOnYellowInAThinLine) {
    info::ContactWindow form;
    for (const QLabel* note : {named<QLabel>(&form, "Label1"), named<QLabel>(&form, "Label2")}) {
        EXPECT_TRUE(note->alignment() & Qt::AlignHCenter);
        EXPECT_TRUE(note->wordWrap());
    }
    const QImage shown = form.grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(12, 61)), QColor(255, 255, 192)) << "inside the address note";
    EXPECT_LT(QColor(shown.pixel(8, 61)).lightness(), 100) << "the note's line";
    EXPECT_EQ(QColor(shown.pixel(9, 61)), QColor(255, 255, 192)) << "a line one pixel thin";
    EXPECT_EQ(QColor(shown.pixel(2, 2)), form.palette().color(QPalette::Window))
        << "the window itself shows no picture";
}

TEST(ContactWindow, NothingInItTakesTheFocus) {
    info::ContactWindow form;
    for (const QWidget* control : form.findChildren<QWidget*>())
        EXPECT_EQ(control->focusPolicy(), Qt::NoFocus) << control->objectName().toStdString();
}

} // namespace
} // namespace calmfield
