#include "shell/MainWindow.h"

#include "files/RegularFile.h"
#include "files/StoredName.h"
#include "platform/QtFileDialog.h"
#include "resources/EmbeddedPictures.h"
#include "shell/MasterVolume.h"
#include "shell/Messages.h"
#include "shell/SoundFileMessages.h"

#include <QCloseEvent>
#include <QFile>
#include <QPixmap>

#include <string>
#include <system_error>

namespace calmfield::shell {
namespace {

constexpr std::size_t index(int colour) {
    return static_cast<std::size_t>(colour);
}

// What Reset All sets.
constexpr int kResetVolume = -1500;
constexpr int kResetFrequency = 32767;

// The colour pictures are a few kilobytes; anything this large is not one of them.
constexpr std::size_t kLargestPicture = 16 << 20;

// An empty picture when the file is missing, unreadable or something other than a regular file.
QPixmap pictureFrom(const std::filesystem::path& file) {
    files::RegularFile opened = files::RegularFile::open(file);
    std::string bytes;
    QPixmap picture;
    if (opened.isOpen() && opened.size() <= kLargestPicture &&
        opened.readUpTo(kLargestPicture, bytes))
        picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                             static_cast<uint>(bytes.size()));
    return picture;
}

} // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), volume_(services.volume),
      programFolder_(std::move(services.programFolder)), messages_(services.messages),
      openUrl_(std::move(services.openUrl)), trayAvailable_(std::move(services.trayAvailable)),
      userSettingsFolder_(std::move(services.userSettingsFolder)), bank_(services.output),
      sleepTimer_(services.sleepClock ? std::move(services.sleepClock) : timeSinceBoot),
      fader_([this](const engine::MasterGain::Ramp& ramp) { bank_.rampMix(ramp); }, sleepTimer_) {
    if (services.fileDialog == nullptr)
        ownCommonDialog_ = std::make_unique<platform::QtFileDialog>(this);
    CommonDialog1 = services.fileDialog != nullptr ? services.fileDialog : ownCommonDialog_.get();
    buildWindow();
    connectHandlers();
}

MainWindow::~MainWindow() = default;

void MainWindow::startUp() {
    if (!volume_.open(kMixerTimeout)) {
        messages_.showMessage(QString::fromLatin1(kMixerFailureMessage));
        show();
        return;
    }
    addTrayIcon();
    show();
    Initialise();
    PlaySound();
    Timer5->start();
}

void MainWindow::Initialise() {
    if (!bank_.openDevice()) {
        messages_.showMessage(QString::fromLatin1(kDeviceFailureMessage));
        return;
    }
    const std::string unusable = unusableSoundFilesMessage(bank_.createChannels(programFolder_));
    if (!unusable.empty())
        messages_.showMessage(QString::fromStdString(unusable));

    readStartupSettings();
    setChannelVolumesFromSliders();
}

void MainWindow::PlaySound() {
    if (Check6->value() == widgets::CheckBox::kOn)
        Timer5->start();
}

void MainWindow::StopSound() {
    bank_.stopAndRewindAll();
}

void MainWindow::connectHandlers() {
    const auto toggleBoxes = toggles();
    const auto volumes = volumeSliders();
    const auto frequencies = frequencySliders();
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        connect(toggleBoxes[index(colour)], &widgets::CheckBox::valueChanged, this,
                [this, colour] { toggleClicked(colour); });
        connect(volumes[index(colour)], &QAbstractSlider::valueChanged, this,
                [this, colour] { volumeChanged(colour); });
        connect(frequencies[index(colour)], &QAbstractSlider::valueChanged, this,
                [this, colour] { frequencyChanged(colour); });
    }
    connect(HScroll1, &QAbstractSlider::valueChanged, this, &MainWindow::panningChanged);
    connect(HScroll2, &QAbstractSlider::valueChanged, this, &MainWindow::masterVolumeChanged);
    connect(Command4, &QAbstractButton::clicked, this, &MainWindow::muteClicked);
    connect(Command6, &QAbstractButton::clicked, this, &MainWindow::resetAllClicked);
    connect(Timer3, &QTimer::timeout, this, &MainWindow::readoutTick);
    connect(Timer5, &QTimer::timeout, this, &MainWindow::startInTrayTick);

    connect(load, &QAction::triggered, this, &MainWindow::loadClicked);
    connect(save, &QAction::triggered, this, &MainWindow::saveClicked);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(help2, &QAction::triggered, this, &MainWindow::helpClicked);
    connect(jhg, &QAction::triggered, this, &MainWindow::contactRequested);
    connect(about, &QAction::triggered, this, &MainWindow::aboutRequested);
    connect(Command1, &QAbstractButton::clicked, this, &MainWindow::closeClicked);
    connect(Command2, &QAbstractButton::clicked, this, &MainWindow::hideToTray);
    connect(Command3, &QAbstractButton::clicked, this, &MainWindow::recorderRequested);
    connectSleepTimer();
}

void MainWindow::toggleClicked(int colour) {
    const int state = toggles()[index(colour)]->value();
    if (engine::NoiseChannel* channel = bank_.channel(colour)) {
        if (state == widgets::CheckBox::kOn)
            channel->Play(engine::NoiseChannel::kPlayLooping);
        else if (state == widgets::CheckBox::kOff)
            channel->Stop();
    }
    showColourPicture(colour);
    noteTicked(colour, state == widgets::CheckBox::kOn);
}

void MainWindow::volumeChanged(int colour) {
    if (engine::NoiseChannel* channel = bank_.channel(colour))
        channel->SetVolume(volumeSliders()[index(colour)]->value());
}

void MainWindow::frequencyChanged(int colour) {
    if (engine::NoiseChannel* channel = bank_.channel(colour))
        channel->SetFrequency(frequencySliders()[index(colour)]->value());
}

void MainWindow::panningChanged() {
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        if (engine::NoiseChannel* channel = bank_.channel(colour))
            channel->SetPan(HScroll1->value());
    }
}

void MainWindow::masterVolumeChanged() {
    volume_.setVolume(speakerVolumeForMasterPosition(HScroll2->value()));
}

void MainWindow::muteClicked() {
    if (muteCount_ == 0) {
        savedMasterVolume_ = static_cast<std::int16_t>(HScroll2->value());
        HScroll2->setValue(0);
    }
    if (muteCount_ == 1)
        HScroll2->setValue(savedMasterVolume_);
    muteCount_ = static_cast<std::int16_t>((muteCount_ + 1) % 2);
}

void MainWindow::resetAllClicked() {
    for (widgets::CheckBox* toggle : toggles())
        toggle->setValue(widgets::CheckBox::kOff);
    for (widgets::Slider* volume : volumeSliders())
        volume->setValue(kResetVolume);
    for (widgets::Slider* frequency : frequencySliders())
        frequency->setValue(kResetFrequency);
}

void MainWindow::readoutTick() {
    const auto labels = readouts();
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        const engine::NoiseChannel* channel = bank_.channel(colour);
        if (channel == nullptr)
            continue;
        const std::int32_t frequency = channel->GetFrequency();
        if (shownFrequencies_[index(colour)] == frequency)
            continue;
        labels[index(colour)]->setText(QString::number(frequency));
        shownFrequencies_[index(colour)] = frequency;
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    readoutTick();
    Timer3->start();
    QMainWindow::showEvent(event);
}

void MainWindow::hideEvent(QHideEvent* event) {
    Timer3->stop();
    QMainWindow::hideEvent(event);
}

void MainWindow::startInTrayTick() {
    if (Check6->value() == widgets::CheckBox::kOn)
        hideToTray();
    Timer5->stop();
}

void MainWindow::hideToTray() {
    if (trayIcon_ && trayAvailable_())
        hide();
    else
        showMinimized();
}

void MainWindow::RestoreWindow() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
}

void MainWindow::addTrayIcon() {
    trayIcon_ = std::make_unique<QSystemTrayIcon>(resources::programIcon());
    trayIcon_->setToolTip(trayToolTip());
    // The right button brings up the "Menu" menu; its items are the menu bar's own.
    trayIcon_->setContextMenu(m);
    connect(trayIcon_.get(), &QSystemTrayIcon::activated, this, &MainWindow::trayActivated);
    trayIcon_->show();
}

void MainWindow::deleteTrayIcon() {
    trayIcon_.reset();
}

// Single clicks, the middle button and moves over the icon do nothing.
void MainWindow::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick)
        RestoreWindow();
}

void MainWindow::closeClicked() {
    deleteTrayIcon();
    close();
}

void MainWindow::helpClicked() {
    const auto page = files::resolveStoredName(programFolder_, "\\help.htm");
    // Only a real page is handed to the desktop: a pipe or a device there would hold up the viewer.
    std::error_code error;
    if (std::filesystem::exists(page, error) && !files::isRegularFile(page))
        return;
    openUrl_(QUrl::fromLocalFile(QFile::decodeName(page.c_str())));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    deleteTrayIcon();
    sleepTimer_.cancel();
    queryUnload();
    unload();
    event->accept();
}

void MainWindow::queryUnload() {
    StopSound();
}

void MainWindow::unload() {
    writeStartupSettings();
}

void MainWindow::showColourPicture(int colour) {
    const auto file =
        files::resolveStoredName(programFolder_, engine::kNoiseColours[index(colour)].pictureFile);
    Picture1->setPixmap(pictureFrom(file));
}

std::array<widgets::CheckBox*, engine::kColourCount> MainWindow::toggles() const {
    return {Check1, Check2, Check3, Check4, Check5};
}

std::array<widgets::Slider*, engine::kColourCount> MainWindow::volumeSliders() const {
    return {HScroll3, HScroll4, HScroll5, HScroll6, HScroll7};
}

std::array<widgets::Slider*, engine::kColourCount> MainWindow::frequencySliders() const {
    return {HScroll8, HScroll9, HScroll10, HScroll11, HScroll12};
}

std::array<QLabel*, engine::kColourCount> MainWindow::readouts() const {
    return {Label1, Label2, Label3, Label6, Label7};
}

std::array<QWidget*, 15> MainWindow::configurationControls() const {
    return {Check1,   Check2,   Check3,   Check4,   Check5,    HScroll3,  HScroll4, HScroll5,
            HScroll6, HScroll7, HScroll8, HScroll9, HScroll10, HScroll11, HScroll12};
}

} // namespace calmfield::shell
