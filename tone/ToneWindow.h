#pragma once

#include "engine/ToneSetting.h"
#include "player/MixPlayer.h"
#include "widgets/CheckBox.h"
#include "widgets/GraphicalButton.h"
#include "widgets/Slider.h"

#include <QLabel>
#include <QWidget>

#include <array>
#include <functional>

class QShowEvent;

namespace calmfield::tone {

// The tone window: a view of the player's tone, the listener's ten bands and notch. A control's
// change goes to the player, and the player's tone, however it changed, shows on the controls and
// their readouts. A fixed frame with a close box only; Escape closes it.
class ToneWindow : public QWidget {
    Q_OBJECT

  public:
    template <typename Control>
    using PerBand = std::array<Control*, engine::ToneSetting::kBandCount>;

    // `player` outlives the window's use of it: nothing reaches the player once the window is
    // closed for good.
    explicit ToneWindow(player::MixPlayer& player, QWidget* parent = nullptr);

  protected:
    // Showing the window from the program centres it; the window system's own show events (the
    // window coming back from its taskbar button) keep the place the user gave it.
    void showEvent(QShowEvent* event) override;

  private:
    // Building the window (ToneWindowLayout.cpp).
    void buildWindow();
    void buildBandsFrame(QWidget* frame);
    void buildNotchFrame(QWidget* frame);
    void setTabOrderAndFocus();

    // Between the controls and the player.
    void forwardUserChanges();
    void changeTone(const std::function<void(engine::ToneSetting&)>& change);
    void showTone();

    player::MixPlayer& player_;

    // The controls by role, each band's from the lowest up.
    PerBand<widgets::Slider> bandSliders_{};
    PerBand<QLabel> bandReadouts_{};
    widgets::CheckBox* notchBox_ = nullptr;
    widgets::Slider* centreSlider_ = nullptr;
    QLabel* centreReadout_ = nullptr;
    widgets::Slider* depthSlider_ = nullptr;
    QLabel* depthReadout_ = nullptr;
    widgets::GraphicalButton* flatButton_ = nullptr;
    widgets::GraphicalButton* closeButton_ = nullptr;
};

} // namespace calmfield::tone
