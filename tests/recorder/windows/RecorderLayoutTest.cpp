#include "ScriptedCommandStrings.h"
#include "recorder/windows/RecorderWindow.h"
#include "recorder/windows/SaveNameDialog.h"
#include "recorder/windows/TroubleshootingWindow.h"
#include "tests/shell/MainWindowFixture.h"

#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTest>

namespace calmfield {
namespace {

// The widgets of `order` in the order the focus reaches them from the first.
QList<QWidget*> focusOrder(const QList<QWidget*>& order) {
    QList<QWidget*> reached;
    QWidget* next = order.front();
    do {
        if (order.contains(next) && !reached.contains(next))
            reached.append(next);
        next = next->nextInFocusChain();
    } while (next != order.front());
    return reached;
}

void expectFixedWithCloseBoxOnly(const QWidget& window) {
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST(RecorderLayout, IsAFixedToolWindowWithItsControlsInPlaceAndAGreyedQualityMenu) {
    testing::ScriptedCommandStrings commands;
    QPointer<recorder::RecorderWindow> form = new recorder::RecorderWindow(
        commands, [] {}, [] {});
    QWidget* client = form->centralWidget();
    EXPECT_EQ(form->windowTitle(), "Sound Recorder");
    EXPECT_EQ(client->size(), QSize(392, 169));
    EXPECT_EQ(form->windowFlags() & Qt::WindowType_Mask, Qt::Tool) << "no taskbar button";
    expectFixedWithCloseBoxOnly(*form);
    EXPECT_FALSE(form->Quality->menuAction()->isEnabled());
    EXPECT_EQ(form->Quality->title() + form->low->text() + form->med->text() + form->high->text(),
              "QualityLow QualityMedium QualityHigh Quality");

    EXPECT_EQ(form->Frame3->title() + form->Frame2->title(), "InformationStatus");
    EXPECT_EQ(form->Command2->text() + form->Command3->text() + form->Command4->text() +
                  form->Command5->text() + form->Command1->text() + form->Command6->text(),
              "RecordStopPlaySave ResetHelp");
    EXPECT_EQ(form->Command5->parentWidget(), form->Frame2);
    EXPECT_EQ(form->Command5->geometry(), QRect(8, 104, 169, 17));
    EXPECT_EQ(form->Label3->geometry(), QRect(8, 16, 169, 129));
    EXPECT_EQ(form->Command3->geometry(), QRect(264, 88, 57, 17));
    EXPECT_EQ(client->childAt(210, 90), form->Command2) << "the buttons lie above the frame";
    EXPECT_EQ(form->Command2->palette().color(QPalette::Button), QColor(255, 0, 0));
    EXPECT_FALSE(client->rect().intersects(form->Text2->geometry())) << "never seen";

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.data()));
    EXPECT_EQ(QApplication::focusWidget(), form->Command2);
    const QList<QWidget*> tabOrder{form->Command4, form->Command3, form->Command2, form->Text2,
                                   form->Command5, form->Text1,    form->Command1, form->Command6};
    EXPECT_EQ(focusOrder(tabOrder), tabOrder);
    delete form.data();
}

TEST(SaveNameLayout, IsAFixedDialogWithThePromptTheBoxAndTheButton) {
    testing::ScriptedCommandStrings commands;
    testsupport::RecordingMessageSink messages;
    QPointer<recorder::SaveNameDialog> form =
        new recorder::SaveNameDialog(recorder::RecorderServices{commands, messages, "/home/ann"});
    EXPECT_EQ(form->windowTitle(), "Save");
    EXPECT_EQ(form->size(), QSize(257, 119));
    expectFixedWithCloseBoxOnly(*form);
    EXPECT_EQ(form->Label1->text(),
              "Type a name for your sound. It will be saved in your home folder");
    EXPECT_TRUE(form->Label1->wordWrap());
    EXPECT_EQ(form->Command1->text(), "Save");
    EXPECT_EQ(form->Label1->geometry(), QRect(16, 16, 225, 25));
    EXPECT_EQ(form->Text1->geometry(), QRect(16, 48, 225, 25));
    EXPECT_EQ(form->Command1->geometry(), QRect(16, 80, 225, 25));

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.data()));
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((form->frameGeometry().center() - centre).manhattanLength(), 1);
    EXPECT_EQ(QApplication::focusWidget(), form->Text1);
    EXPECT_EQ(form->Text1->nextInFocusChain(), form->Command1);
    delete form.data();
}

TEST(TroubleshootingLayout, IsSizableAndKeepsTheIrregularSpacingOfItsTexts) {
    recorder::TroubleshootingWindow form;
    EXPECT_EQ(form.windowTitle(), "Troubleshooting Recording Problems");
    EXPECT_EQ(form.size(), QSize(599, 331));
    EXPECT_NE(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.findChildren<QLabel*>().size(), 10);
    EXPECT_TRUE(form.Label1->text().endsWith("turned up. "));
    EXPECT_TRUE(form.Label2->text().contains("hear nothing , it"));
    EXPECT_TRUE(form.Label6->text().endsWith("will not play  in Media Player"));
    for (QLabel* heading : {form.Label7, form.Label6, form.Label9})
        EXPECT_TRUE(heading->font().bold()) << heading->text().toStdString();
    EXPECT_FALSE(form.Label10->font().bold());
    EXPECT_EQ(form.Label10->geometry(), QRect(16, 304, 497, 17));
}

} // namespace
} // namespace calmfield
