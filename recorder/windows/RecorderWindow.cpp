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
    Text1->clear();
    Label1->clear();
    Label3->clear();
    Text2->setText(QStringLiteral("Text2"));
    for (QAction* entry : {low, med, high}) {
        entry->setChecked(false);
        entry->setEnabled(true);
    }
    Command2->setEnabled(true);
    Command3->setEnabled(false);
    Command4->setEnabled(false);
    Command1->setEnabled(true);
    Command5->setEnabled(true);
    Command6->setEnabled(true);
    Timer1->start(kModePollMilliseconds);
    Timer2->start(kInformationPollMilliseconds);
    Timer3->stop();
    Timer3->setInterval(0);
    startTime_ = QDateTime();
    Command2->setFocus();
}

void RecorderWindow::load() {
    Command1->setEnabled(false);
    Command5->setEnabled(false);
    Timer3->stop();
    high->setChecked(true);
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
    for (QTimer* timer : {Timer1, Timer2, Timer3})
        timer->stop();
    event->accept();
}

void RecorderWindow::connectHandlers() {
    connect(Command2, &QAbstractButton::clicked, this, &RecorderWindow::recordClicked);
    connect(Command3, &QAbstractButton::clicked, this, &RecorderWindow::stopClicked);
    connect(Command4, &QAbstractButton::clicked, this, &RecorderWindow::playClicked);
    connect(Command5, &QAbstractButton::clicked, this, [this] { showSaveName_(); });
    connect(Command1, &QAbstractButton::clicked, this, &RecorderWindow::resetClicked);
    connect(Command6, &QAbstractButton::clicked, this, [this] { showTroubleshooting_(); });
    for (QAction* entry : {low, med, high})
        connect(entry, &QAction::triggered, this, [this, entry] { qualityClicked(entry); });
    connect(Timer1, &QTimer::timeout, this, &RecorderWindow::modeTick);
    connect(Timer2, &QTimer::timeout, this, &RecorderWindow::informationTick);
    connect(Timer3, &QTimer::timeout, this, &RecorderWindow::increment);
}

// The checked quality entry gives the take's rate, and only it stays enabled while recording.
void RecorderWindow::recordClicked() {
    const std::array<std::pair<QAction*, int>, 3> rates{
        {{low, 11025}, {med, 22050}, {high, 44100}}};
    auto chosen = rates.back();
    for (const auto& quality : rates) {
        if (quality.first->isChecked()) {
            chosen = quality;
            break;
        }
    }
    for (const auto& quality : rates)
        quality.first->setEnabled(quality.first == chosen.first);

    Timer3->start(kClockMilliseconds);
    Timer2->setInterval(kInformationPollMilliseconds);
    startTime_ = clock_();
    increment();
    send("seek capture to start");
    send("set capture samplespersec " + std::to_string(chosen.second));
    send("set capture bitspersample 8");
    send("set capture channels 2");
    send("record capture");
    Command3->setEnabled(true);
    Command4->setEnabled(false);
}

void RecorderWindow::stopClicked() {
    Command2->setEnabled(false);
    Command5->setEnabled(true);
    for (QAction* entry : {low, med, high})
        entry->setEnabled(true);
    Command1->setEnabled(true);
    send("stop capture");
    Command4->setEnabled(true);
    increment();
    Timer3->stop();
    informationTick();
}

void RecorderWindow::playClicked() {
    Text1->clear();
    send("play capture from 0");
}

// Unloading and loading again leaves a new, empty capture element and the window as it opened.
void RecorderWindow::resetClicked() {
    unload();
    setCreationState();
    load();
    Text1->setText(QStringLiteral("00:00:00"));
}

void RecorderWindow::qualityClicked(QAction* entry) {
    for (QAction* quality : {low, med, high})
        quality->setChecked(quality == entry);
}

void RecorderWindow::increment() {
    showIfChanged(Text1, elapsedText(startTime_, clock_()));
}

void RecorderWindow::modeTick() {
    const CommandReply mode = commands_.send("status capture mode");
    showIfChanged(Label1, QLatin1Char(' ') + QString::fromStdString(mode.reply));
}

// A reply that is no byte count, as when the capture element could not be opened, leaves the
// readout as it was.
void RecorderWindow::informationTick() {
    send("set capture time format bytes");
    const CommandReply size = commands_.send("status capture length");
    if (const std::optional<QString> text = informationText(size.reply))
        showIfChanged(Label3, *text);
    // The elapsed-time clock runs exactly while a take grows.
    const int nextPoll =
        Timer3->isActive() ? kInformationPollMilliseconds : kIdleInformationPollMilliseconds;
    if (Timer2->interval() != nextPoll)
        Timer2->setInterval(nextPoll);
}

// The window goes on the same way whether or not the capture element obeyed.
void RecorderWindow::send(std::string_view command) {
    static_cast<void>(commands_.send(command));
}

} // namespace calmfield::recorder
