#include "recorder/windows/RecorderWindow.h"

#include "recorder/windows/RecorderReadouts.h"
#include "widgets/CentreOnScreen.h"

#include <QCloseEvent>

#include <array>
#include <string>
#include <utility>

namespace calmfield::recorder {
namespace {

constexpr int kModePollMilliseconds = 500;
constexpr int kInformationPollMilliseconds = 19;
// Outside a take the size cannot change by itself, and a poll every 19 ms would cost more than
// everything else the idle program does: the size is then polled with the mode.
constexpr int kIdleInformationPollMilliseconds = kModePollMilliseconds;
constexpr int kClockMilliseconds = 1000;

// Polled many times a second: a readout is only touched when what it shows changes.
template <typename Readout> void showIfChanged(Readout* readout, const QString& text) {
    if (readout->text() != text)
        readout->setText(text);
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
    elapsedReadout->clear();
    modeReadout->clear();
    informationReadout->clear();
    outOfSightBox->setText(QStringLiteral("Text2"));
    for (QAction* entry : {lowQuality, mediumQuality, highQuality}) {
        entry->setChecked(false);
        entry->setEnabled(true);
    }
    recordButton->setEnabled(true);
    stopButton->setEnabled(false);
    playButton->setEnabled(false);
    resetButton->setEnabled(true);
    saveButton->setEnabled(true);
    helpButton->setEnabled(true);
    modePoll->start(kModePollMilliseconds);
    sizePoll->start(kInformationPollMilliseconds);
    elapsedClock->stop();
    elapsedClock->setInterval(0);
    startTime_ = QDateTime();
    recordButton->setFocus();
}

void RecorderWindow::load() {
    resetButton->setEnabled(false);
    saveButton->setEnabled(false);
    elapsedClock->stop();
    highQuality->setChecked(true);
    send("open new type waveaudio alias capture");
    loaded_ = true;
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
    for (QTimer* timer : {modePoll, sizePoll, elapsedClock})
        timer->stop();
    event->accept();
}

void RecorderWindow::connectHandlers() {
    connect(recordButton, &QAbstractButton::clicked, this, &RecorderWindow::recordClicked);
    connect(stopButton, &QAbstractButton::clicked, this, &RecorderWindow::stopClicked);
    connect(playButton, &QAbstractButton::clicked, this, &RecorderWindow::playClicked);
    connect(saveButton, &QAbstractButton::clicked, this, [this] { showSaveName_(); });
    connect(resetButton, &QAbstractButton::clicked, this, &RecorderWindow::resetClicked);
    connect(helpButton, &QAbstractButton::clicked, this, [this] { showTroubleshooting_(); });
    for (QAction* entry : {lowQuality, mediumQuality, highQuality})
        connect(entry, &QAction::triggered, this, [this, entry] { qualityClicked(entry); });
    connect(modePoll, &QTimer::timeout, this, &RecorderWindow::pollMode);
    connect(sizePoll, &QTimer::timeout, this, &RecorderWindow::pollSize);
    connect(elapsedClock, &QTimer::timeout, this, &RecorderWindow::showElapsedTime);
}

// The checked quality entry gives the take's rate, and only it stays enabled while recording.
void RecorderWindow::recordClicked() {
    const std::array<std::pair<QAction*, int>, 3> rates{
        {{lowQuality, 11025}, {mediumQuality, 22050}, {highQuality, 44100}}};
    auto chosen = rates.back();
    for (const auto& quality : rates) {
        if (quality.first->isChecked()) {
            chosen = quality;
            break;
        }
    }
    for (const auto& quality : rates)
        quality.first->setEnabled(quality.first == chosen.first);

    elapsedClock->start(kClockMilliseconds);
    sizePoll->setInterval(kInformationPollMilliseconds);
    startTime_ = clock_();
    showElapsedTime();
    send("seek capture to start");
    send("set capture samplespersec " + std::to_string(chosen.second));
    send("set capture bitspersample 8");
    send("set capture channels 2");
    send("record capture");
    stopButton->setEnabled(true);
    playButton->setEnabled(false);
}

void RecorderWindow::stopClicked() {
    recordButton->setEnabled(false);
    saveButton->setEnabled(true);
    for (QAction* entry : {lowQuality, mediumQuality, highQuality})
        entry->setEnabled(true);
    resetButton->setEnabled(true);
    send("stop capture");
    playButton->setEnabled(true);
    showElapsedTime();
    elapsedClock->stop();
    pollSize();
}

void RecorderWindow::playClicked() {
    elapsedReadout->clear();
    send("play capture from 0");
}

// Unloading and loading again leaves a new, empty capture element and the window as it opened.
void RecorderWindow::resetClicked() {
    unload();
    setCreationState();
    load();
    elapsedReadout->setText(QStringLiteral("00:00:00"));
}

void RecorderWindow::qualityClicked(QAction* entry) {
    for (QAction* quality : {lowQuality, mediumQuality, highQuality})
        quality->setChecked(quality == entry);
}

void RecorderWindow::showElapsedTime() {
    showIfChanged(elapsedReadout, elapsedText(startTime_, clock_()));
}

void RecorderWindow::pollMode() {
    const CommandReply mode = commands_.send("status capture mode");
    showIfChanged(modeReadout, QLatin1Char(' ') + QString::fromStdString(mode.reply));
}

// A reply that is no byte count, as when the capture element could not be opened, leaves the
// readout as it was.
void RecorderWindow::pollSize() {
    send("set capture time format bytes");
    const CommandReply size = commands_.send("status capture length");
    if (const std::optional<QString> text = informationText(size.reply))
        showIfChanged(informationReadout, *text);
    // The elapsed-time clock runs exactly while a take grows.
    const int nextPoll =
        elapsedClock->isActive() ? kInformationPollMilliseconds : kIdleInformationPollMilliseconds;
    if (sizePoll->interval() != nextPoll)
        sizePoll->setInterval(nextPoll);
}

// The window goes on the same way whether or not the capture element obeyed.
void RecorderWindow::send(std::string_view command) {
    static_cast<void>(commands_.send(command));
}

} // namespace calmfield::recorder
