// The main window without a mouse and without sight: names, values and focus rings, and keys.

#include "MainWindowFixture.h"
#include "tests/support/AccessibilityChecks.h"

#include <QAccessibleValueInterface>
#include <QMenuBar>
#include <QTest>

#include <tuple>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::MainWindowFixture;

class MainWindowAccess : public MainWindowFixture {
  protected:
    void SetUp() override {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.data()));
    }
    static QAccessibleInterface* accessible(QWidget* control) {
        return QAccessible::queryAccessibleInterface(control);
    }
};

TEST_F(MainWindowAccess, TabStopsAreNamedAndRingedSlidersSpeakInTheirUnitsAndStatesAreTold) {
    colourToggles(form)[1]->click(); // the ring must stand out from the picture too
    testsupport::expectTabStopsNamedInsideAndRinged(*form);
    const std::tuple<widgets::Slider*, const char*, int, double> sliders[] = {
        {volumeSliders(form)[0], "Brown noise volume, decibels", -1500, -15.0},
        {frequencySliders(form)[1], "Pink noise frequency, hertz", 22050, 22050},
        {panningSlider(form), "Panning", -3000, -100},
        {masterVolumeSlider(form), "Master volume, percent", 32750, 99.4453},
    };
    for (const auto& [slider, name, position, value] : sliders) {
        SCOPED_TRACE(name);
        slider->setValue(position);
        QAccessibleInterface* reading = accessible(slider);
        EXPECT_EQ(reading->text(QAccessible::Name), name);
        ASSERT_NE(reading->valueInterface(), nullptr);
        EXPECT_NEAR(reading->valueInterface()->currentValue().toDouble(), value, 1e-3);
    }
    // A value set by assistive technology lands on the nearest position.
    accessible(volumeSliders(form)[2])->valueInterface()->setCurrentValue(-3.0);
    EXPECT_EQ(session->player().mix().volumes[2], -300);
    EXPECT_EQ(form->findChild<QLabel*>("Label4")->buddy(), panningSlider(form));
    EXPECT_EQ(form->findChild<QLabel*>("Label5")->buddy(), masterVolumeSlider(form));

    QTest::mouseClick(muteButton(form), Qt::LeftButton);
    EXPECT_TRUE(accessible(muteButton(form))->state().checked);
    QTest::mouseClick(muteButton(form), Qt::LeftButton);
    EXPECT_FALSE(accessible(muteButton(form))->state().checked);
    frequencySliders(form)[1]->setValue(20000);
    EXPECT_EQ(accessible(colourPictureBox(form))->text(QAccessible::Name),
              "Colour picture: pink noise");
    EXPECT_EQ(accessible(frequencyReadouts(form)[1])->text(QAccessible::Name),
              "Pink noise playing at 20000 hertz");
}

TEST_F(MainWindowAccess, KeysStepSlidersPressButtonsAndOpenMenus) {
    widgets::Slider* volume = volumeSliders(form)[0];
    volume->setValue(-1500);
    QTest::keyClick(volume, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(volume->value(), -1400);
    QTest::keyClick(volume, Qt::Key_Right);
    EXPECT_EQ(volume->value(), -1399);
    QTest::keyClick(volume, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(volume->value(), -1499);
    widgets::Slider* frequency = frequencySliders(form)[2];
    QTest::keyClick(frequency, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(session->player().mix().frequencies[2], 31900);
    QTest::keyClick(panningSlider(form), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(panningSlider(form)->value(), 1000) << "as the plain key";

    muteButton(form)->setFocus();
    QTest::keyClick(muteButton(form), Qt::Key_Return);
    EXPECT_EQ(session->player().masterVolume(), 0);
    QTest::keyClick(muteButton(form), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(session->player().masterVolume(), 16000);

    for (const auto& [keys, menu] : {std::pair{QKeySequence("Alt+M"), mainMenu(form)},
                                     std::pair{QKeySequence("Alt+H"), helpMenu(form)},
                                     std::pair{QKeySequence("F10"), mainMenu(form)}}) {
        SCOPED_TRACE(keys.toString().toStdString());
        QTest::keySequence(form.data(), keys);
        EXPECT_TRUE(testsupport::waitUntil([menu] { return menu->isVisible(); }));
        menu->hide();
        EXPECT_FALSE(menu->title().contains('&'));
    }
}

} // namespace
} // namespace calmfield
