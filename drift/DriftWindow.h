#pragma once

#include "engine/DriftSetting.h"
#include "engine/NoiseColours.h"
#include "player/MixPlayer.h"
#include "widgets/CheckBox.h"
#include "widgets/GraphicalButton.h"
#include "widgets/RadioButton.h"
#include "widgets/Slider.h"

#include <QLabel>
#include <QWidget>

#include <array>
#include <functional>

class QHideEvent;
class QShowEvent;
class QTimer;

namespace calmfield::drift {

// The drift window: a view of the player's drift, and each colour's level as it sounds now. A
// control's change goes to the player, and the player's drift, however it changed, shows on the
// controls. The levels are read anew a few times a second only while drift is on and the window
// is shown. A fixed frame with a close box only; Escape closes it.
class DriftWindow : public QWidget {
    Q_OBJECT

  public:
    // `player` outlives the window's use of it: nothing reaches the player once the window is
    // closed for good.
    explicit DriftWindow(player::MixPlayer& player, QWidget* parent = nullptr);

  protected:
    // Showing the window from the program centres it; the window system's own show events (the
    // window coming back from its taskbar button) keep the place the user gave it.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // Building the window (DriftWindowLayout.cpp).
    void buildWindow();
    void buildDriftFrame(QWidget* frame);
    void buildLevelsFrame(QWidget* frame);
    void setTabOrderAndFocus();

    // Between the controls and the player.
    void forwardUserChanges();
    void changeDrift(const std::function<void(engine::DriftSetting&)>& change);
    void showDrift();
    void showLevels();
    // Runs the levels' timer while drift is on and the window is shown, and stops it otherwise.
    void followLevels();

    player::MixPlayer& player_;
    bool shown_ = false;
    QTimer* levelsTimer_ = nullptr;

    // The controls by role.
    widgets::CheckBox* driftBox_ = nullptr;
    widgets::Slider* depthSlider_ = nullptr;
    QLabel* depthReadout_ = nullptr;
    std::array<widgets::RadioButton*, 3> speedButtons_{}; // in the order of engine::DriftSpeed
    std::array<QLabel*, engine::kColourCount> levelReadouts_{};
    widgets::GraphicalButton* newPathButton_ = nullptr;
    widgets::GraphicalButton* closeButton_ = nullptr;
};

} // namespace calmfield::drift
