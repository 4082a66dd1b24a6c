// The drift window as a view of the player's drift, and its levels as the program's sound renders.

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

constexpr int kBrown = 0, kPink = 1;

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

// "−12.5 dB" as -12.5.
double decibels(const QLabel* readout) {
    QString text = readout->text();
    return text.replace(QChar(0x2212), QLatin1Char('-')).chopped(3).toDouble();
}

class DriftInTheProgram : public testsupport::MainWindowFixture {};

TEST_F(DriftInTheProgram, LevelsMoveQuietlyWhileTheMainWindowKeepsTheLevelsSet) {
    testsupport::colourToggles(form)[kPink]->click();
    widgets::Slider* volume = testsupport::volumeSliders(form)[kPink];
    volume->setValue(-1000);
    testsupport::menuEntry<QAction>(form, shell::layout::kDriftItem)->trigger();
    QWidget* window = windows->driftWindow();
    auto* pink = control<QLabel>(window, kLevelReadouts[kPink]);
    const QString name = QAccessible::queryAccessibleInterface(pink)->text(QAccessible::Name);
    form->player().setDrift({.on = true, .depthDb = 12, .speed = DriftSpeed::Fast, .seed = 1});

    QSet<QString> shown;
    for (int read = 0; read < 4; ++read) {
        const QString before = pink->text();
        output.pull(output.sampleRate() * 2);
        testsupport::waitUntil([&] { return pink->text() != before; }, std::chrono::seconds(1));
        shown.insert(pink->text());
        EXPECT_LE(decibels(pink), -10.0) << pink->text().toStdString();
        EXPECT_GE(decibels(pink), -22.0) << pink->text().toStdString();
    }
    EXPECT_GE(shown.size(), 3);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(pink)->text(QAccessible::Name), name);
    EXPECT_EQ(control<QLabel>(window, kLevelReadouts[kBrown])->text(), "off");
    EXPECT_EQ(volume->value(), -1000);
    EXPECT_EQ(form->player().mix().volumes[kPink], -1000);
}

} // namespace
} // namespace calmfield
