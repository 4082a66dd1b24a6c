#include "drift/DriftWindow.h"

#include "widgets/CentreOnScreen.h"
#include "widgets/Mirror.h"

#include <QHideEvent>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <cstdlib>

namespace calmfield::drift {
namespace {

using engine::DriftSetting;
using engine::DriftSpeed;

constexpr std::chrono::milliseconds kLevelsInterval{250};

// "0.0 dB" or "−12.5 dB", with a true minus sign.
QString levelText(double db) {
    const long tenths = std::lround(db * 10.0);
    QString text = QString::number(static_cast<double>(std::abs(tenths)) / 10.0, 'f', 1) +
                   QStringLiteral(" dB");
    if (tenths < 0)
        text.prepend(QChar(0x2212));
    return text;
}

} // namespace

DriftWindow::DriftWindow(player::MixPlayer& player, QWidget* parent)
    : QWidget(parent, Qt::Window), player_(player), levelsTimer_(new QTimer(this)) {
    buildWindow();
    levelsTimer_->setInterval(kLevelsInterval);
    forwardUserChanges();
    connect(levelsTimer_, &QTimer::timeout, this, &DriftWindow::showLevels);
    connect(&player_, &player::MixPlayer::driftChanged, this, &DriftWindow::showDrift);
    connect(&player_, &player::MixPlayer::toggleChanged, this, &DriftWindow::showLevels);
    connect(&player_, &player::MixPlayer::volumeChanged, this, &DriftWindow::showLevels);
    showDrift();
}

void DriftWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        widgets::centreOnScreen(*this);
    QWidget::showEvent(event);
    shown_ = true;
    followLevels();
    showLevels();
}

// Also when the window is minimised, whose levels nobody can see.
void DriftWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    shown_ = false;
    followLevels();
}

void DriftWindow::forwardUserChanges() {
    connect(driftBox_, &widgets::CheckBox::valueChanged, this, [this](int state) {
        changeDrift([&](DriftSetting& drift) { drift.on = state == widgets::CheckBox::kOn; });
    });
    connect(depthSlider_, &QAbstractSlider::valueChanged, this,
            [this](int db) { changeDrift([&](DriftSetting& drift) { drift.depthDb = db; }); });
    for (std::size_t speed = 0; speed < speedButtons_.size(); ++speed) {
        connect(speedButtons_[speed], &QAbstractButton::toggled, this, [this, speed](bool checked) {
            if (checked)
                changeDrift(
                    [&](DriftSetting& drift) { drift.speed = static_cast<DriftSpeed>(speed); });
        });
    }
    connect(newPathButton_, &QAbstractButton::clicked, this, [this] { player_.newDriftPath(); });
    connect(closeButton_, &QAbstractButton::clicked, this, &QWidget::close);
}

void DriftWindow::changeDrift(const std::function<void(DriftSetting&)>& change) {
    DriftSetting drift = player_.drift();
    change(drift);
    player_.setDrift(drift);
}

void DriftWindow::showDrift() {
    const DriftSetting& drift = player_.drift();
    widgets::mirror(driftBox_, drift.on ? widgets::CheckBox::kOn : widgets::CheckBox::kOff);
    widgets::mirror(depthSlider_, drift.depthDb);
    depthReadout_->setText(QString::number(drift.depthDb) + QStringLiteral(" dB"));
    widgets::RadioButton* speed = speedButtons_[static_cast<std::size_t>(drift.speed)];
    {
        const QSignalBlocker quiet(speed);
        speed->setChecked(true);
    }
    followLevels();
    showLevels();
}

// Drift off, each level goes back to the one set: that is the level shown.
void DriftWindow::showLevels() {
    const persistence::Mix& mix = player_.mix();
    const bool drifting = player_.drift().on;
    for (std::size_t colour = 0; colour < levelReadouts_.size(); ++colour) {
        if (mix.toggles[colour] != persistence::kOn) {
            levelReadouts_[colour]->setText(QStringLiteral("off"));
            continue;
        }
        const int index = static_cast<int>(colour);
        const double drift = drifting ? player_.driftLevelDb(index) : 0.0;
        levelReadouts_[colour]->setText(levelText(mix.volumes[colour] / 100.0 + drift));
    }
}

void DriftWindow::followLevels() {
    if (shown_ && player_.drift().on)
        levelsTimer_->start();
    else
        levelsTimer_->stop();
}

} // namespace calmfield::drift
