#include "QtPrinting.h"
#include "RecorderControls.h"
#include "ScriptedCommandStrings.h"
#include "recorder/windows/RecorderWindow.h"
#include "recorder/windows/SaveNameDialog.h"
#include "recorder/windows/TroubleshootingWindow.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTest>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

// One control as its window's layout places it: its object name, its parent's object name (empty
// for a window's client area), its place in pixels and its caption.
struct Placed {
    const char* name;
    const char* parent;
    QRect place;
    QString caption;
};

void expectPlaced(const QWidget& window, const std::vector<Placed>& controls) {
    for (const Placed& expected : controls) {
        SCOPED_TRACE(expected.name);
        const QWidget* control = testsupport::named(&window, expected.name);
        EXPECT_EQ(control->parentWidget()->objectName(), expected.parent);
        EXPECT_EQ(control->geometry(), expected.place);
        EXPECT_EQ(testsupport::captionOf(control), expected.caption);
    }
}

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

void expectFixedWithCloseBoxOnly(QWidget& window) {
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowIcon().isNull());
    // Decorations the program draws itself may offer maximising all the same.
    window.setWindowState(Qt::WindowMaximized);
    EXPECT_TRUE(testsupport::waitUntil([&] { return !window.isMaximized(); }));
}

TEST(RecorderLayout, IsAFixedToolWindowWithItsControlsInPlaceAndAGreyedQualityMenu) {
    testsupport::ScriptedCommandStrings commands;
    QPointer<recorder::RecorderWindow> form = new recorder::RecorderWindow(
        commands, [] {}, [] {});
    QWidget* client = form->centralWidget();
    EXPECT_EQ(form->objectName(), "Form8");
    EXPECT_EQ(form->windowTitle(), "Sound Recorder");
    EXPECT_EQ(client->size(), QSize(392, 169));
    EXPECT_EQ(form->windowFlags() & Qt::WindowType_Mask, Qt::Tool) << "no taskbar button";
    expectFixedWithCloseBoxOnly(*form);
    EXPECT_FALSE(qualityMenu(form)->menuAction()->isEnabled());
    EXPECT_EQ(qualityMenu(form)->title() + lowQuality(form)->text() + mediumQuality(form)->text() +
                  highQuality(form)->text(),
              "QualityLow QualityMedium QualityHigh Quality");

    // The readouts as the window shows them once it has opened a new capture element.
    const QString noTake = "MBytes :  0\r\nChannels : 2 (stereo)\r\n";
    expectPlaced(*form, {{"Frame3", "", {8, 8, 185, 153}, "Information"},
                         {"Label3", "Frame3", {8, 16, 169, 129}, noTake},
                         {"Frame2", "", {200, 8, 185, 153}, "Status"},
                         {"Text1", "Frame2", {8, 16, 169, 25}, ""},
                         {"Label1", "Frame2", {8, 48, 169, 25}, " stopped"},
                         {"Command5", "Frame2", {8, 104, 169, 17}, "Save "},
                         {"Command2", "", {208, 88, 49, 17}, "Record"},
                         {"Command3", "", {264, 88, 57, 17}, "Stop"},
                         {"Command4", "", {328, 88, 49, 17}, "Play"},
                         {"Command1", "", {208, 136, 113, 17}, "Reset"},
                         {"Command6", "", {328, 136, 49, 17}, "Help"},
                         {"Text2", "", {-264, 200, 369, 25}, "Text2"}});
    EXPECT_EQ(client->childAt(210, 90), recordButton(form)) << "the buttons lie above the frame";
    EXPECT_FALSE(client->rect().intersects(outOfSightBox(form)->geometry())) << "never seen";
    EXPECT_EQ(recordButton(form)->palette().color(QPalette::Button), QColor(255, 0, 0));

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.data()));
    EXPECT_EQ(QApplication::focusWidget(), recordButton(form));
    // The out-of-sight box is left out: what cannot be seen takes no focus.
    const QList<QWidget*> tabOrder{playButton(form), stopButton(form),     recordButton(form),
                                   saveButton(form), elapsedReadout(form), resetButton(form),
                                   helpButton(form)};
    EXPECT_EQ(focusOrder(tabOrder), tabOrder);
    EXPECT_EQ(outOfSightBox(form)->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(outOfSightBox(form)->isVisibleTo(form.data())) << "hidden from screen readers too";
    delete form.data();
}

TEST(SaveNameLayout, IsAFixedDialogWithThePromptTheBoxAndTheButton) {
    testsupport::ScriptedCommandStrings commands;
    testsupport::RecordingMessageSink messages;
    QPointer<recorder::SaveNameDialog> form =
        new recorder::SaveNameDialog(recorder::RecorderServices{commands, messages, "/home/ann"});
    EXPECT_EQ(form->objectName(), "Form10");
    EXPECT_EQ(form->windowTitle(), "Save");
    EXPECT_EQ(form->size(), QSize(257, 119));
    expectFixedWithCloseBoxOnly(*form);
    expectPlaced(*form, {{"Label1",
                          "Form10",
                          {16, 16, 225, 25},
                          "Type a name for your sound. It will be saved in your home folder"},
                         {"Text1", "Form10", {16, 48, 225, 25}, ""},
                         {"Command1", "Form10", {16, 80, 225, 25}, "Save"}});
    EXPECT_TRUE(prompt(form)->wordWrap());

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.data()));
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((form->frameGeometry().center() - centre).manhattanLength(), 1);
    EXPECT_EQ(QApplication::focusWidget(), nameBox(form));
    EXPECT_EQ(nameBox(form)->nextInFocusChain(), saveNameButton(form));
    delete form.data();
}

TEST(TroubleshootingLayout, IsSizableAndItsTextsFitAndSpeakOfThisDesktop) {
    recorder::TroubleshootingWindow form;
    EXPECT_EQ(form.objectName(), "Form14");
    EXPECT_EQ(form.windowTitle(), "Troubleshooting Recording Problems");
    EXPECT_EQ(form.size(), QSize(599, 331));
    EXPECT_NE(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.findChildren<QLabel*>().size(), 10);
    const struct {
        const char* name;
        QRect place;
        bool bold;
    } paragraphs[] = {
        {"Label7", {16, 8, 585, 33}, true},    {"Label1", {16, 40, 585, 33}, false},
        {"Label2", {16, 80, 577, 33}, false},  {"Label3", {16, 112, 561, 33}, false},
        {"Label4", {16, 152, 585, 33}, false}, {"Label5", {16, 192, 513, 25}, false},
        {"Label6", {16, 216, 545, 33}, true},  {"Label8", {16, 256, 569, 25}, false},
        {"Label9", {16, 280, 409, 17}, true},  {"Label10", {16, 304, 497, 17}, false}};
    for (const auto& expected : paragraphs) {
        const QLabel* shown = form.findChild<QLabel*>(QLatin1String(expected.name));
        ASSERT_NE(shown, nullptr) << expected.name;
        EXPECT_EQ(shown->geometry(), expected.place) << expected.name;
        EXPECT_EQ(shown->font().bold(), expected.bold) << expected.name;
        EXPECT_TRUE(shown->wordWrap()) << expected.name;
        EXPECT_LE(shown->heightForWidth(shown->width()), shown->height())
            << expected.name << " cuts off its text";
        for (const char* elsewhere :
             {"windows", "stereo mix", "media player", "control panel", "start menu", "taskbar"})
            EXPECT_FALSE(shown->text().contains(QLatin1String(elsewhere), Qt::CaseInsensitive))
                << expected.name << " speaks of " << elsewhere;
    }
    auto text = [&form](const char* name) { return form.findChild<QLabel*>(name)->text(); };
    EXPECT_TRUE(text("Label7").endsWith("I hear nothing or the output is very quiet"));
    EXPECT_TRUE(text("Label1").endsWith("turned up. "));
    EXPECT_TRUE(text("Label4").contains("pavucontrol"));
    EXPECT_TRUE(text("Label4").contains("\"Recording\" stream")) << "the recorder's stream";
}

} // namespace
} // namespace calmfield
