#include "tone/ToneWindow.h"

#include "widgets/CentreOnScreen.h"
#include "widgets/Mirror.h"

#include <QShowEvent>
#include <QSignalBlocker>

#include <cmath>
#include <cstdlib>

namespace calmfield::tone {
namespace {

using engine::ToneSetting;

// "+6.0 dB", "0.0 dB" or "−3.5 dB", with a true minus sign.
QString gainText(int halfDb) {
    QString text = QString::number(std::abs(halfDb) / 2.0, 'f', 1) + QStringLiteral(" dB");
    if (halfDb > 0)
        text.prepend(QLatin1Char('+'));
    else if (halfDb < 0)
        text.prepend(QChar(0x2212));
    return text;
}

} // namespace

ToneWindow::ToneWindow(player::MixPlayer& player, QWidget* parent)
    : QWidget(parent, Qt::Window), player_(player) {
    buildWindow();
    forwardUserChanges();
    connect(&player_, &player::MixPlayer::toneChanged, this, &ToneWindow::showTone);
    showTone();
}

void ToneWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        widgets::centreOnScreen(*this);
    QWidget::showEvent(event);
}

void ToneWindow::forwardUserChanges() {
    for (std::size_t band = 0; band < bandSliders_.size(); ++band) {
        connect(bandSliders_[band], &QAbstractSlider::valueChanged, this, [this, band](int halfDb) {
            changeTone([&](ToneSetting& tone) { tone.bandHalfDb[band] = halfDb; });
        });
    }
    connect(notchBox_, &widgets::CheckBox::valueChanged, this, [this](int state) {
        changeTone([&](ToneSetting& tone) { tone.notch = state == widgets::CheckBox::kOn; });
    });
    connect(centreSlider_, &QAbstractSlider::valueChanged, this,
            [this](int step) { changeTone([&](ToneSetting& tone) { tone.notchStep = step; }); });
    connect(depthSlider_, &QAbstractSlider::valueChanged, this,
            [this](int db) { changeTone([&](ToneSetting& tone) { tone.notchDepthDb = db; }); });
    connect(flatButton_, &QAbstractButton::clicked, this,
            [this] { player_.setTone(player_.tone().flattened()); });
    connect(closeButton_, &QAbstractButton::clicked, this, &QWidget::close);
}

void ToneWindow::changeTone(const std::function<void(ToneSetting&)>& change) {
    ToneSetting tone = player_.tone();
    change(tone);
    player_.setTone(tone);
}

void ToneWindow::showTone() {
    const ToneSetting& tone = player_.tone();
    for (std::size_t band = 0; band < bandSliders_.size(); ++band) {
        widgets::mirror(bandSliders_[band], tone.bandHalfDb[band]);
        bandReadouts_[band]->setText(gainText(tone.bandHalfDb[band]));
    }
    widgets::mirror(notchBox_, tone.notch ? widgets::CheckBox::kOn : widgets::CheckBox::kOff);
    widgets::mirror(centreSlider_, tone.notchStep);
    centreReadout_->setText(QString::number(std::lround(tone.notchCentreHz())) +
                            QStringLiteral(" Hz"));
    widgets::mirror(depthSlider_, tone.notchDepthDb);
    depthReadout_->setText(QString::number(tone.notchDepthDb) + QStringLiteral(" dB"));
}

} // namespace calmfield::tone
