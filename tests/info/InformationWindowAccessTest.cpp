// The about and contact windows without a mouse and without sight.

#include "info/AboutWindow.h"
#include "info/ContactWindow.h"
#include "tests/support/AccessibilityChecks.h"
#include "tests/support/NamedControl.h"

#include <gtest/gtest.h>

#include <QTest>

namespace calmfield {
namespace {

// The texts of the labels assistive technology finds anywhere in `node`.
QStringList labelTexts(QAccessibleInterface* node) {
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child->role() == QAccessible::StaticText)
            texts.append(child->text(QAccessible::Name));
        texts += labelTexts(child);
    }
    return texts;
}

TEST(InformationWindowAccess, AreDialogsOfReadableLabelsWithNamedRingedTabStopsThatEscapeCloses) {
    info::AboutWindow about([](const QUrl&) { return true; });
    info::ContactWindow contact;
    for (QWidget* form : {static_cast<QWidget*>(&about), static_cast<QWidget*>(&contact)}) {
        SCOPED_TRACE(form->windowTitle().toStdString());
        testsupport::showActive(*form);
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form);
        EXPECT_EQ(window->role(), QAccessible::Dialog);
        EXPECT_EQ(window->text(QAccessible::Name), form->windowTitle());
        testsupport::expectTabStopsNamedInsideAndRinged(*form);
        QTest::keyClick(form, Qt::Key_Escape);
        EXPECT_FALSE(form->isVisible());
    }
    EXPECT_TRUE(labelTexts(QAccessible::queryAccessibleInterface(&about))
                    .contains("Designed and Programmed by:"));
    EXPECT_TRUE(labelTexts(QAccessible::queryAccessibleInterface(&contact))
                    .contains("support@calmfield.example"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(testsupport::named(&about, "Picture1"))
                  ->text(QAccessible::Name),
              "Calmfield logo");
}

} // namespace
} // namespace calmfield
