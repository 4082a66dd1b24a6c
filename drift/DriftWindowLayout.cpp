// Builds the drift window from its layout table: places, ranges, readouts, names for assistive
// technology and tab order.

#include "drift/DriftWindow.h"
#include "drift/DriftWindowLayoutTable.h"
#include "player/MixPlayer.h"
#include "widgets/Accessibility.h"
#include "widgets/Readout.h"
#include "widgets/ToolWindow.h"

#include <QTimer>

#include <vector>

namespace calmfield::drift {
namespace {

using engine::DriftSetting;
using widgets::placeControl;

// The depth moves by a decibel a step, three a page.
constexpr widgets::Slider::Range kDepthRange{DriftSetting::kShallowestDb, DriftSetting::kDeepestDb,
                                             1, 3, DriftSetting{}.depthDb};

} // namespace

void DriftWindow::buildWindow() {
    levelsTimer_->setObjectName(QLatin1String(layout::kLevelsTimerName));
    QWidget* client = widgets::makeToolWindow(*this, layout::kWindowName, layout::kCaption,
                                              layout::kClientWidth, layout::kClientHeight);
    buildDriftFrame(placeControl(layout::kDriftFrame, client));
    buildLevelsFrame(placeControl(layout::kLevelsFrame, client));
    QWidget* buttons = placeControl(layout::kButtonsFrame, client);
    newPathButton_ = placeControl<widgets::GraphicalButton>(layout::kNewPathButton, buttons);
    newPathButton_->setAccessibleDescription(
        QStringLiteral("Sets each colour's level drifting on a new path"));
    closeButton_ = placeControl<widgets::GraphicalButton>(layout::kCloseButton, buttons);
    setTabOrderAndFocus();
}

void DriftWindow::buildDriftFrame(QWidget* frame) {
    driftBox_ = placeControl<widgets::CheckBox>(layout::kDriftBox, frame);
    driftBox_->setAccessibleName(QStringLiteral("Drift"));

    depthSlider_ = placeControl<widgets::Slider>(layout::kDepthSlider, frame);
    depthSlider_->setRange(kDepthRange);
    depthSlider_->setAccessibleName(QStringLiteral("Drift depth, decibels"));
    placeControl<QLabel>(layout::kDepthCaption, frame)->setBuddy(depthSlider_);
    depthReadout_ = widgets::placeReadout(layout::kDepthReadout, frame);

    placeControl(layout::kSpeedCaption, frame);
    for (std::size_t speed = 0; speed < speedButtons_.size(); ++speed) {
        const widgets::ControlRow& row = layout::kSpeedButtons[speed];
        speedButtons_[speed] = placeControl<widgets::RadioButton>(row, frame);
        speedButtons_[speed]->setAccessibleName(
            QStringLiteral("Drift speed, %1").arg(QString::fromLatin1(row.caption).toLower()));
    }
}

// The levels change by themselves while drift is on: each readout keeps one name, so that its
// changes are not read out to someone working with the other controls.
void DriftWindow::buildLevelsFrame(QWidget* frame) {
    for (std::size_t colour = 0; colour < levelReadouts_.size(); ++colour) {
        placeControl(layout::kLevelCaptions[colour], frame);
        levelReadouts_[colour] = widgets::placeReadout(layout::kLevelReadouts[colour], frame);
        levelReadouts_[colour]->setAccessibleName(
            QStringLiteral("%1 level now").arg(player::colourName(colour)));
    }
}

void DriftWindow::setTabOrderAndFocus() {
    std::vector<QWidget*> order{driftBox_, depthSlider_};
    order.insert(order.end(), speedButtons_.begin(), speedButtons_.end());
    order.insert(order.end(), {newPathButton_, closeButton_});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    driftBox_->setFocus();
}

} // namespace calmfield::drift
