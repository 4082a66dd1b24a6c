#include "recorder/windows/RecorderWindow.h"

#include "recorder/windows/RecorderReadouts.h"
#include "widgets/Accessibility.h"
#include "widgets/CentreOnScreen.h"

#include <QCloseEvent>

#include <array>
#include <utility>

namespace calmfield::recorder {
namespace {

constexpr int kClockMilliseconds = 1000;

// Polled many times a second: a readout is only touched when what it shows changes.
template <typename Readout> void showIfChanged(Readout* readout, const QString& text) {
    if (readout->text() != text)
        readout->setText(text);
}

void runWhile(QTimer* timer, bool wanted) {
    if (!wanted)
        timer->stop();
    else if (!timer->isActive())
        timer->start();
}

} // namespace

RecorderWindow::RecorderWindow(CommandStrings& commands, std::function<void()> showSaveName,
                               std::function<void()> showTroubleshooting, Clock clock,
                               QWidget* parent)
    : QMainWindow(parent), commands_(commands), showSaveName_(std::move(showSaveName)),
      showTroubleshooting_(std::move(showTroubleshooting)), clock_(std::move(clock)) {
    setAttribute(Qt::WA_DeleteOnClose);
    buildWindow();
    connectHandlers();
    setCreationState();
    load();
}

RecorderWindow::~RecorderWindow() {
    unload();
}

void RecorderWindow::setCreationState() {
    elapsedReadout_->clear();
    modeReadout_->clear();
    informationReadout_->clear();
    outOfSightBox_->setText(QStringLiteral("Text2"));
    for (QAction* entry : {lowQuality_, mediumQuality_, highQuality_}) {
        entry->setChecked(false);
        entry->setEnabled(true);
    }
    recordButton_->setEnabled(true);
    stopButton_->setEnabled(false);
    playButton_->setEnabled(false);
    resetButton_->setEnabled(true);
    saveButton_->setEnabled(true);
    helpButton_->setEnabled(true);
    for (QTimer* timer : {modePoll_, sizePoll_, elapsedClock_})
        timer->stop();
    elapsedClock_->setInterval(0);
    startTime_ = QDateTime();
    shownMode_.clear();
    recordButton_->setFocus();
}

void RecorderWindow::load() {
    resetButton_->setEnabled(false);
    saveButton_->setEnabled(false);
    elapsedClock_->stop();
    highQuality_->setChecked(true);
    send("open new type waveaudio alias capture");
    loaded_ = true;
    refreshReadouts();
    widgets::centreOnScreen(*this);
}

void RecorderWindow::unload() {
    if (!loaded_)
        return;
    send("close capture");
    loaded_ = false;
}

void RecorderWindow::closeEvent(QCloseEvent* event) {
    unload();
    for (QTimer* timer : {modePoll_, sizePoll_, elapsedClock_})
        timer->stop();
    event->accept();
}

void RecorderWindow::connectHandlers() {
    connect(recordButton_, &QAbstractButton::clicked, this, &RecorderWindow::recordClicked);
    connect(stopButton_, &QAbstractButton::clicked, this, &RecorderWindow::stopClicked);
    connect(playButton_, &QAbstractButton::clicked, this, &RecorderWindow::playClicked);
    connect(saveButton_, &QAbstractButton::clicked, this, [this] { showSaveName_(); });
    connect(resetButton_, &QAbstractButton::clicked, this, &RecorderWindow::resetClicked);
    connect(helpButton_, &QAbstractButton::clicked, this, [this] { showTroubleshooting_(); });
    for (QAction* entry : {lowQuality_, mediumQuality_, highQuality_})
        connect(entry, &QAction::triggered, this, [this, entry] { qualityClicked(entry); });
    connect(modePoll_, &QTimer::timeout, this, &RecorderWindow::modePolled);
    connect(sizePoll_, &QTimer::timeout, this, &RecorderWindow::showSize);
    connect(elapsedClock_, &QTimer::timeout, this, &RecorderWindow::showElapsedTime);
}

// The checked quality entry gives the take's rate, and only it stays enabled while recording.
void RecorderWindow::recordClicked() {
    const std::array<std::pair<QAction*, int>, 3> rates{
        {{lowQuality_, 11025}, {mediumQuality_, 22050}, {highQuality_, 44100}}};
    auto chosen = rates.back();
    for (const auto& quality : rates) {
        if (quality.first->isChecked()) {
            chosen = quality;
            break;
        }
    }
    for (const auto& quality : rates)
        quality.first->setEnabled(quality.first == chosen.first);

    elapsedClock_->start(kClockMilliseconds);
    startTime_ = clock_();
    showElapsedTime();
    send("seek capture to start");
    send("set capture samplespersec " + std::to_string(chosen.second));
    send("set capture bitspersample 8");
    send("set capture channels 2");
    send("record capture");
    stopButton_->setEnabled(true);
    playButton_->setEnabled(false);
    refreshReadouts();
}

void RecorderWindow::stopClicked() {
    recordButton_->setEnabled(false);
    saveButton_->setEnabled(true);
    for (QAction* entry : {lowQuality_, mediumQuality_, highQuality_})
        entry->setEnabled(true);
    resetButton_->setEnabled(true);
    send("stop capture");
    playButton_->setEnabled(true);
    showElapsedTime();
    elapsedClock_->stop();
    refreshReadouts();
}

void RecorderWindow::playClicked() {
    elapsedReadout_->clear();
    send("play capture from 0");
    refreshReadouts();
}

// Unloading and loading again leaves a new, empty capture element and the window as it opened.
void RecorderWindow::resetClicked() {
    unload();
    setCreationState();
    load();
    elapsedReadout_->setText(QStringLiteral("00:00:00"));
}

void RecorderWindow::qualityClicked(QAction* entry) {
    for (QAction* quality : {lowQuality_, mediumQuality_, highQuality_})
        quality->setChecked(quality == entry);
}

void RecorderWindow::showElapsedTime() {
    showIfChanged(elapsedReadout_, elapsedText(startTime_, clock_()));
}

void RecorderWindow::refreshReadouts() {
    showMode(commands_.send("status capture mode").reply);
    showSize();
}

// A reply that is no mode, as when the capture element could not be opened, shows as a blank
// and polls nothing: no answer will come.
void RecorderWindow::showMode(const std::string& mode) {
    shownMode_ = mode;
    const QString text = QString::fromStdString(mode);
    showIfChanged(modeReadout_, QLatin1Char(' ') + text);
    widgets::announceName(*modeReadout_, QStringLiteral("Mode: ") +
                                             (text.isEmpty() ? QStringLiteral("none") : text));
    runWhile(modePoll_, mode == "recording" || mode == "playing" || mode == "not ready");
    runWhile(sizePoll_, mode == "recording");
}

// A reply that is no byte count leaves the readout as it was.
void RecorderWindow::showSize() {
    send("set capture time format bytes");
    const CommandReply size = commands_.send("status capture length");
    const std::optional<std::uint64_t> bytes = byteCount(size.reply);
    if (!bytes)
        return;
    showIfChanged(informationReadout_, *informationText(size.reply));
    widgets::announceName(*informationReadout_,
                          QStringLiteral("Take: %1 megabytes, stereo").arg(double(*bytes) / 1e6));
}

// A take or playback that ended by itself, or a sound server that went or came back.
void RecorderWindow::modePolled() {
    const std::string mode = commands_.send("status capture mode").reply;
    if (mode == shownMode_)
        return;
    showMode(mode);
    showSize();
}

// The window goes on the same way whether or not the capture element obeyed.
void RecorderWindow::send(std::string_view command) {
    static_cast<void>(commands_.send(command));
}

} // namespace calmfield::recorder
