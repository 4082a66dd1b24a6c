// The tone window as a view of the player's tone, over a player that plays nothing.

#include "tone/ToneWindow.h"
#include "tests/support/FakeVolumePort.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/NamedControl.h"
#include "tone/ToneWindowLayoutTable.h"
#include "widgets/ClientArea.h"

#include <QAccessibleValueInterface>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace calmfield {
namespace {

using namespace tone::layout;
using widgets::ControlRow;
using widgets::Slider;

const QString kMinus(QChar(0x2212));

class ToneWindow : public ::testing::Test {
  protected:
    template <typename Control = QWidget> Control* control(const ControlRow& row) {
        return testsupport::named<Control>(&window, row.name);
    }
    QString text(const ControlRow& row) { return control<QLabel>(row)->text(); }
    static QAccessibleInterface* accessible(QWidget* control) {
        return QAccessible::queryAccessibleInterface(control);
    }

    QTemporaryDir scratch;
    testsupport::MemorySoundOutput output;
    engine::ChannelBank bank{output};
    testsupport::FakeVolumePort volumePort;
    player::MixPlayer player{bank, volumePort, scratch.path().toStdString()};
    tone::ToneWindow window{player};
};

TEST_F(ToneWindow, ControlsChangeThePlayersToneAndShowItsChanges) {
    control<Slider>(kBandSliders[7])->setValue(-7);
    control<widgets::CheckBox>(kNotchBox)->click();
    control<Slider>(kCentreSlider)->setValue(37);
    control<Slider>(kDepthSlider)->setValue(12);
    engine::ToneSetting expected{.notch = true, .notchStep = 37, .notchDepthDb = 12};
    expected.bandHalfDb[7] = -7;
    EXPECT_EQ(player.tone(), expected);
    EXPECT_EQ(text(kBandReadouts[7]), kMinus + "3.5 dB");
    EXPECT_EQ(text(kCentreReadout), "4238 Hz");
    EXPECT_EQ(text(kDepthReadout), "12 dB");

    // As the tone file or another view sets it.
    engine::ToneSetting elsewhere{.notch = true, .notchStep = 0, .notchDepthDb = 40};
    elsewhere.bandHalfDb[0] = 12;
    player.setTone(elsewhere);
    EXPECT_EQ(control<Slider>(kBandSliders[0])->value(), 12);
    EXPECT_EQ(text(kBandReadouts[0]), "+6.0 dB");
    EXPECT_EQ(text(kBandReadouts[7]), "0.0 dB");
    EXPECT_EQ(control<Slider>(kCentreSlider)->value(), 0);
    EXPECT_EQ(text(kCentreReadout), "500 Hz");
    EXPECT_EQ(control<Slider>(kDepthSlider)->value(), 40);

    control<widgets::GraphicalButton>(kFlatButton)->click();
    EXPECT_EQ(player.tone(), elsewhere.flattened());
    EXPECT_EQ(control<widgets::CheckBox>(kNotchBox)->value(), widgets::CheckBox::kOff);
}

TEST_F(ToneWindow, AssistiveTechnologyReadsAndSetsEachSliderInItsUnit) {
    // The first band's centre is the one that is not a whole number of hertz.
    EXPECT_EQ(accessible(control(kBandSliders[0]))->text(QAccessible::Name),
              "Tone, 31.5 hertz band, decibels");
    QAccessibleInterface* band = accessible(control(kBandSliders[9]));
    EXPECT_EQ(band->text(QAccessible::Name), "Tone, 16000 hertz band, decibels");
    band->valueInterface()->setCurrentValue(-3.5);
    EXPECT_EQ(player.tone().bandHalfDb[9], -7);
    EXPECT_EQ(band->text(QAccessible::Value), "-3.5");

    QAccessibleInterface* centre = accessible(control(kCentreSlider));
    EXPECT_EQ(centre->text(QAccessible::Name), "Notch centre, hertz");
    EXPECT_EQ(centre->text(QAccessible::Value), "4000");
    centre->valueInterface()->setCurrentValue(2050); // nearer 2000 Hz than 2119 Hz
    EXPECT_EQ(player.tone().notchStep, 24);
    EXPECT_EQ(centre->text(QAccessible::Value), "2000");
}

// Each control of the layout table wholly inside its container and clear of the others there.
TEST_F(ToneWindow, EveryControlLiesWithinItsContainerClearOfTheOthers) {
    std::vector<std::pair<ControlRow, const ControlRow*>> places = {
        {kBandsFrame, nullptr},         {kNotchFrame, nullptr},
        {kButtonsFrame, nullptr},       {kNotchBox, &kNotchFrame},
        {kCentreCaption, &kNotchFrame}, {kCentreSlider, &kNotchFrame},
        {kCentreReadout, &kNotchFrame}, {kDepthCaption, &kNotchFrame},
        {kDepthSlider, &kNotchFrame},   {kDepthReadout, &kNotchFrame},
        {kFlatButton, &kButtonsFrame},  {kCloseButton, &kButtonsFrame},
    };
    for (const PerBand* rows : {&kBandCaptions, &kBandSliders, &kBandReadouts})
        for (const ControlRow& row : *rows)
            places.emplace_back(row, &kBandsFrame);
    QWidget* client = window.findChild<widgets::ClientArea*>();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    for (const auto& [row, container] : places) {
        SCOPED_TRACE(row.name);
        const QWidget* placed = control(row);
        const QWidget* holder = container != nullptr ? control(*container) : client;
        EXPECT_EQ(placed->parentWidget(), holder);
        EXPECT_TRUE(holder->rect().contains(placed->geometry()));
        for (const auto& [other, otherContainer] : places) {
            if (otherContainer == container && other.name != row.name) {
                EXPECT_FALSE(placed->geometry().intersects(control(other)->geometry()))
                    << other.name;
            }
        }
    }
}

} // namespace
} // namespace calmfield
