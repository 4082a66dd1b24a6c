// The drift window as a view of the player's drift.

#include "drift/DriftWindow.h"
#include "MainWindowFixture.h"
#include "drift/DriftWindowLayoutTable.h"
#include "tests/support/AccessibilityChecks.h"

#include <QSignalSpy>

namespace calmfield {
namespace {

using namespace drift::layout;
using engine::DriftSetting;
using engine::DriftSpeed;
using widgets::ControlRow;

template <typename Control = QWidget> Control* control(QWidget* window, const ControlRow& row) {
    return testsupport::named<Control>(window, row.name);
}

class DriftWindow : public ::testing::Test {
  protected:
    QTemporaryDir scratch;
    testsupport::MemorySoundOutput output;
    engine::ChannelBank bank{output};
    testsupport::FakeVolumePort volumePort;
    player::MixPlayer player{bank, volumePort, scratch.path().toStdString()};
    drift::DriftWindow window{player};
};

TEST_F(DriftWindow, ControlsChangeThePlayersDriftAndShowItsChanges) {
    QSignalSpy changes(&player, &player::MixPlayer::driftChanged);
    control<widgets::CheckBox>(&window, kDriftBox)->click();
    control<widgets::Slider>(&window, kDepthSlider)->setValue(9);
    control<widgets::RadioButton>(&window, kSpeedButtons[2])->click();
    EXPECT_EQ(player.drift(), (DriftSetting{.on = true, .depthDb = 9, .speed = DriftSpeed::Fast}));
    EXPECT_EQ(changes.size(), 3);
    EXPECT_EQ(control<QLabel>(&window, kDepthReadout)->text(), "9 dB");
    control<widgets::GraphicalButton>(&window, kNewPathButton)->click();
    EXPECT_NE(player.drift().seed, 0u);

    // As a loaded mix sets it: shown, and not sent back.
    const DriftSetting loaded{.on = false, .depthDb = 2, .speed = DriftSpeed::Slow, .seed = 7};
    player.setDrift(loaded);
    EXPECT_EQ(player.drift(), loaded);
    EXPECT_EQ(control<widgets::CheckBox>(&window, kDriftBox)->value(), widgets::CheckBox::kOff);
    EXPECT_EQ(control<widgets::Slider>(&window, kDepthSlider)->value(), 2);
    EXPECT_TRUE(control<widgets::RadioButton>(&window, kSpeedButtons[0])->isChecked());
}

TEST_F(DriftWindow, KeyboardAndAssistiveTechnologyReachEveryControl) {
    testsupport::showActive(window);
    testsupport::expectTabStopsNamedInsideAndRinged(window);
    QTest::keyClick(control(&window, kSpeedButtons[0]), Qt::Key_Right);
    EXPECT_EQ(player.drift().speed, DriftSpeed::Medium);
}

TEST_F(DriftWindow, ReadsTheLevelsOnlyWhileDriftIsOnAndTheWindowShown) {
    const auto* timer = testsupport::named<QTimer>(&window, kLevelsTimerName);
    player.setDrift({.on = true});
    EXPECT_FALSE(timer->isActive());
    window.show();
    EXPECT_TRUE(timer->isActive());
    window.hide();
    EXPECT_FALSE(timer->isActive());
    window.show();
    player.resetAll();
    EXPECT_FALSE(timer->isActive());
}

} // namespace
} // namespace calmfield
