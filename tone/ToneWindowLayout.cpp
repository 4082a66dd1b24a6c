// Builds the tone window from its layout table: places, ranges, readouts, names for assistive
// technology and tab order.

#include "tone/ToneWindow.h"
#include "tone/ToneWindowLayoutTable.h"
#include "widgets/Accessibility.h"
#include "widgets/Readout.h"
#include "widgets/ToolWindow.h"

#include <cmath>
#include <vector>

namespace calmfield::tone {
namespace {

using engine::ToneSetting;
using widgets::placeControl;

// A band moves by half a decibel a step, two decibels a page.
constexpr widgets::Slider::Range kBandRange{ToneSetting::kLowestHalfDb, ToneSetting::kHighestHalfDb,
                                            1, 4, 0};
// The centre moves by a semitone a step, an octave a page.
constexpr widgets::Slider::Range kCentreRange{ToneSetting::kLowestNotchStep,
                                              ToneSetting::kHighestNotchStep, 1, 12, 36};
constexpr widgets::Slider::Range kDepthRange{ToneSetting::kShallowestNotchDb,
                                             ToneSetting::kDeepestNotchDb, 1, 5, 30};

widgets::Slider* slider(const widgets::ControlRow& row, const widgets::Slider::Range& range,
                        const QString& name, QWidget* container) {
    auto* bar = placeControl<widgets::Slider>(row, container);
    bar->setRange(range);
    bar->setAccessibleName(name);
    return bar;
}

QLabel* caption(const widgets::ControlRow& row, QWidget* container, QWidget* captioned) {
    auto* text = placeControl<QLabel>(row, container);
    text->setBuddy(captioned);
    return text;
}

} // namespace

void ToneWindow::buildWindow() {
    QWidget* client = widgets::makeToolWindow(*this, layout::kWindowName, layout::kCaption,
                                              layout::kClientWidth, layout::kClientHeight);
    buildBandsFrame(placeControl(layout::kBandsFrame, client));
    buildNotchFrame(placeControl(layout::kNotchFrame, client));
    QWidget* buttons = placeControl(layout::kButtonsFrame, client);
    flatButton_ = placeControl<widgets::GraphicalButton>(layout::kFlatButton, buttons);
    flatButton_->setAccessibleDescription(
        QStringLiteral("Sets every band to 0 decibels and turns the notch off"));
    closeButton_ = placeControl<widgets::GraphicalButton>(layout::kCloseButton, buttons);
    setTabOrderAndFocus();
}

void ToneWindow::buildBandsFrame(QWidget* frame) {
    for (std::size_t band = 0; band < bandSliders_.size(); ++band) {
        const QString centre = QString::number(ToneSetting::kBandCentres[band]);
        bandSliders_[band] =
            slider(layout::kBandSliders[band], kBandRange,
                   QStringLiteral("Tone, %1 hertz band, decibels").arg(centre), frame);
        bandSliders_[band]->setStepsPerUnit(2);
        caption(layout::kBandCaptions[band], frame, bandSliders_[band]);
        bandReadouts_[band] = widgets::placeReadout(layout::kBandReadouts[band], frame);
    }
}

void ToneWindow::buildNotchFrame(QWidget* frame) {
    notchBox_ = placeControl<widgets::CheckBox>(layout::kNotchBox, frame);
    notchBox_->setAccessibleName(QStringLiteral("Notch"));

    centreSlider_ =
        slider(layout::kCentreSlider, kCentreRange, QStringLiteral("Notch centre, hertz"), frame);
    // Semitone steps, read out in whole hertz.
    centreSlider_->setUnitScale({
        .valueAt = [](int step) { return std::round(ToneSetting::notchCentreHz(step)); },
        .positionOf =
            [](double hz) { return 12.0 * std::log2(hz / ToneSetting::notchCentreHz(0)); },
    });
    caption(layout::kCentreCaption, frame, centreSlider_);
    centreReadout_ = widgets::placeReadout(layout::kCentreReadout, frame);

    depthSlider_ =
        slider(layout::kDepthSlider, kDepthRange, QStringLiteral("Notch depth, decibels"), frame);
    caption(layout::kDepthCaption, frame, depthSlider_);
    depthReadout_ = widgets::placeReadout(layout::kDepthReadout, frame);
}

void ToneWindow::setTabOrderAndFocus() {
    std::vector<QWidget*> order(bandSliders_.begin(), bandSliders_.end());
    order.insert(order.end(), {notchBox_, centreSlider_, depthSlider_, flatButton_, closeButton_});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    bandSliders_.front()->setFocus();
}

} // namespace calmfield::tone
