// The main window without a mouse and without sight: names and values for assistive technology,
// the keys, and the focus ring.

#include "MainWindowFixture.h"
#include "tests/support/AccessibilityChecks.h"

#include <QAccessibleValueInterface>
#include <QMenuBar>
#include <QTest>

namespace calmfield {
namespace {

using testing::MainWindowFixture;

class MainWindowAccess : public MainWindowFixture {
  protected:
    void SetUp() override {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    static QAccessibleInterface* accessible(QWidget* control) {
        return QAccessible::queryAccessibleInterface(control);
    }
};

TEST_F(MainWindowAccess, EveryTabStopIsNamedAndEachSliderSpeaksInItsUnit) {
    testsupport::expectTabStopsNamedAndInside(*form);
    struct Spoken {
        widgets::Slider* slider;
        const char* name;
        int position;
        double value;
    };
    const Spoken sliders[] = {
        {form->volumeSliders[0], "Brown noise volume, decibels", -1500, -15.0},
        {form->volumeSliders[4], "Purple noise volume, decibels", -250, -2.5},
        {form->frequencySliders[1], "Pink noise frequency, hertz", 22050, 22050},
        {form->panningSlider, "Panning", -3000, -100},
        {form->panningSlider, "Panning", 1500, 50},
        {form->masterVolumeSlider, "Master volume, percent", 32750, 99.4453},
    };
    for (const Spoken& spoken : sliders) {
        SCOPED_TRACE(spoken.name);
        spoken.slider->setValue(spoken.position);
        QAccessibleInterface* reading = accessible(spoken.slider);
        EXPECT_EQ(reading->text(QAccessible::Name), spoken.name);
        EXPECT_EQ(reading->role(), QAccessible::Slider);
        ASSERT_NE(reading->valueInterface(), nullptr);
        EXPECT_NEAR(reading->valueInterface()->currentValue().toDouble(), spoken.value, 1e-3);
    }
    // A value set by assistive technology lands on the nearest position.
    accessible(form->volumeSliders[2])->valueInterface()->setCurrentValue(-3.0);
    EXPECT_EQ(form->player().mix().volumes[2], -300);
    EXPECT_DOUBLE_EQ(
        accessible(form->frequencySliders[0])->valueInterface()->maximumValue().toDouble(), 32767);

    const auto* panningLabel = form->findChild<QLabel*>("Label4");
    const auto* masterLabel = form->findChild<QLabel*>("Label5");
    EXPECT_EQ(panningLabel->buddy(), form->panningSlider);
    EXPECT_EQ(masterLabel->buddy(), form->masterVolumeSlider);
}

TEST_F(MainWindowAccess, MuteThePictureAndTheReadoutsAreNamedByWhatTheyShow) {
    QTest::mouseClick(form->muteButton, Qt::LeftButton);
    EXPECT_TRUE(accessible(form->muteButton)->state().checked);
    QTest::mouseClick(form->muteButton, Qt::LeftButton);
    EXPECT_FALSE(accessible(form->muteButton)->state().checked);

    form->colourToggles[1]->click();
    form->frequencySliders[1]->setValue(20000);
    EXPECT_EQ(accessible(form->colourPicture)->text(QAccessible::Name),
              "Colour picture: pink noise");
    EXPECT_EQ(accessible(form->frequencyReadouts[1])->text(QAccessible::Name),
              "Pink noise playing at 20000 hertz");
}

TEST_F(MainWindowAccess, KeysStepSlidersPressButtonsAndOpenMenus) {
    widgets::Slider* volume = form->volumeSliders[0];
    volume->setValue(-1500);
    QTest::keyClick(volume, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(volume->value(), -1400);
    QTest::keyClick(volume, Qt::Key_Right);
    EXPECT_EQ(volume->value(), -1399);
    QTest::keyClick(volume, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(volume->value(), -1499);
    widgets::Slider* frequency = form->frequencySliders[2];
    QTest::keyClick(frequency, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(form->player().mix().frequencies[2], 31900);
    QTest::keyClick(frequency, Qt::Key_PageUp);
    EXPECT_EQ(frequency->value(), 23900);
    QTest::keyClick(form->panningSlider, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(form->panningSlider->value(), 1000) << "as the plain key";

    form->muteButton->setFocus();
    QTest::keyClick(form->muteButton, Qt::Key_Return);
    EXPECT_EQ(form->player().masterVolume(), 0);
    QTest::keyClick(form->muteButton, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(form->player().masterVolume(), 16000);

    for (const auto& [keys, menu] : {std::pair{QKeySequence("Alt+M"), form->mainMenu},
                                     std::pair{QKeySequence("Alt+H"), form->helpMenu},
                                     std::pair{QKeySequence("F10"), form->mainMenu}}) {
        SCOPED_TRACE(keys.toString().toStdString());
        QTest::keySequence(form.get(), keys);
        EXPECT_TRUE(testing::waitUntil([menu] { return menu->isVisible(); }));
        menu->hide();
        EXPECT_FALSE(menu->title().contains('&'));
    }
}

TEST_F(MainWindowAccess, EveryTabStopShowsAThickRingThatStandsOut) {
    form->colourToggles[1]->click(); // the ring must stand out from the picture too
    for (QWidget* control : testsupport::tabStops(*form)) {
        EXPECT_EQ(testsupport::focusRingFault(*control), "") << control->objectName().toStdString();
    }
}

} // namespace
} // namespace calmfield
