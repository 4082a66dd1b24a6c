#include "shell/Form1.h"

#include "platform/ProgramFolder.h"
#include "platform/QtFileDialog.h"
#include "platform/RegularFile.h"
#include "resources/EmbeddedPictures.h"
#include "shell/MasterVolume.h"
#include "shell/Messages.h"
#include "shell/ProgramWindows.h"

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
    platform::RegularFile opened = platform::RegularFile::open(file);
    std::string bytes;
    QPixmap picture;
    if (opened.isOpen() && opened.size() <= kLargestPicture &&
        opened.readUpTo(kLargestPicture, bytes))
        picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                             static_cast<uint>(bytes.size()));
    return picture;
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QMainWindow(parent), mixer_(services.mixer),
      programFolder_(std::move(services.programFolder)), messages_(services.messages),
      windows_(services.windows), openUrl_(std::move(services.openUrl)),
      trayAvailable_(std::move(services.trayAvailable)),
      userSettingsFolder_(std::move(services.userSettingsFolder)), bank_(services.output),
      sleepTimer_(services.sleepClock ? std::move(services.sleepClock) : timeSinceBoot),
      fader_([this](const engine::MasterGain::Ramp& ramp) { bank_.rampMix(ramp); }, sleepTimer_) {
    if (services.fileDialog == nullptr)
        ownCommonDialog_ = std::make_unique<platform::QtFileDialog>(this);
    CommonDialog1 = services.fileDialog != nullptr ? services.fileDialog : ownCommonDialog_.get();
    buildWindow();
    connectHandlers();
    windows_.track(this);
}

Form1::~Form1() = default;

void Form1::startUp() {
    if (!mixer_.open(kMixerTimeout)) {
        messages_.showMessage(QString::fromLatin1(kMixerFailureMessage));
        show();
        return;
    }
    mixer::Module3::FindLineControl(mixer_, mixer::Module3::MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                                    mixer::Module3::MIXERCONTROL_CONTROLTYPE_VOLUME,
                                    speakerVolumeControl_);
    addTrayIcon();
    show();
    Initialise();
    PlaySound();
    Timer5->start();
}

void Form1::Initialise() {
    if (!bank_.openDevice()) {
        messages_.showMessage(QString::fromLatin1(kDeviceFailureMessage));
        return;
    }
    const std::string unusable = bank_.createChannels(programFolder_);
    if (!unusable.empty())
        messages_.showMessage(QString::fromStdString(unusable));

    readStartupSettings();
    setChannelVolumesFromSliders();
}

void Form1::PlaySound() {
    if (Check6->value() == widgets::CheckBox::kOn)
        Timer5->start();
}

void Form1::StopSound() {
    bank_.stopAndRewindAll();
}

void Form1::connectHandlers() {
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
    connect(HScroll1, &QAbstractSlider::valueChanged, this, &Form1::panningChanged);
    connect(HScroll2, &QAbstractSlider::valueChanged, this, &Form1::masterVolumeChanged);
    connect(Command4, &QAbstractButton::clicked, this, &Form1::muteClicked);
    connect(Command6, &QAbstractButton::clicked, this, &Form1::resetAllClicked);
    connect(Timer3, &QTimer::timeout, this, &Form1::readoutTick);
    connect(Timer5, &QTimer::timeout, this, &Form1::startInTrayTick);

    connect(load, &QAction::triggered, this, &Form1::loadClicked);
    connect(save, &QAction::triggered, this, &Form1::saveClicked);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(help2, &QAction::triggered, this, &Form1::helpClicked);
    connect(jhg, &QAction::triggered, &windows_, &ProgramWindows::showContact);
    connect(about, &QAction::triggered, &windows_, &ProgramWindows::showAbout);
    connect(Command1, &QAbstractButton::clicked, this, &Form1::closeClicked);
    connect(Command2, &QAbstractButton::clicked, this, &Form1::hideToTray);
    connect(Command3, &QAbstractButton::clicked, &windows_, &ProgramWindows::showRecorder);
    connectSleepTimer();
}

void Form1::toggleClicked(int colour) {
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

void Form1::volumeChanged(int colour) {
    if (engine::NoiseChannel* channel = bank_.channel(colour))
        channel->SetVolume(volumeSliders()[index(colour)]->value());
}

void Form1::frequencyChanged(int colour) {
    if (engine::NoiseChannel* channel = bank_.channel(colour))
        channel->SetFrequency(frequencySliders()[index(colour)]->value());
}

void Form1::panningChanged() {
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        if (engine::NoiseChannel* channel = bank_.channel(colour))
            channel->SetPan(HScroll1->value());
    }
}

void Form1::masterVolumeChanged() {
    mixer::Module3::SetControlValue(
        mixer_, speakerVolumeControl_,
        static_cast<std::int32_t>(speakerVolumeForMasterPosition(HScroll2->value())));
}

void Form1::muteClicked() {
    if (muteCount_ == 0) {
        savedMasterVolume_ = static_cast<std::int16_t>(HScroll2->value());
        HScroll2->setValue(0);
    }
    if (muteCount_ == 1)
        HScroll2->setValue(savedMasterVolume_);
    muteCount_ = static_cast<std::int16_t>((muteCount_ + 1) % 2);
}

void Form1::resetAllClicked() {
    for (widgets::CheckBox* toggle : toggles())
        toggle->setValue(widgets::CheckBox::kOff);
    for (widgets::Slider* volume : volumeSliders())
        volume->setValue(kResetVolume);
    for (widgets::Slider* frequency : frequencySliders())
        frequency->setValue(kResetFrequency);
}

void Form1::readoutTick() {
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

void Form1::showEvent(QShowEvent* event) {
    readoutTick();
    Timer3->start();
    QMainWindow::showEvent(event);
}

void Form1::hideEvent(QHideEvent* event) {
    Timer3->stop();
    QMainWindow::hideEvent(event);
}

void Form1::startInTrayTick() {
    if (Check6->value() == widgets::CheckBox::kOn)
        hideToTray();
    Timer5->stop();
}

void Form1::hideToTray() {
    if (trayIcon_ && trayAvailable_())
        hide();
    else
        showMinimized();
}

void Form1::RestoreWindow() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
}

void Form1::addTrayIcon() {
    trayIcon_ = std::make_unique<QSystemTrayIcon>(resources::programIcon());
    trayIcon_->setToolTip(trayToolTip());
    // The right button brings up the "Menu" menu; its items are the menu bar's own.
    trayIcon_->setContextMenu(m);
    connect(trayIcon_.get(), &QSystemTrayIcon::activated, this, &Form1::trayActivated);
    trayIcon_->show();
}

void Form1::deleteTrayIcon() {
    trayIcon_.reset();
}

// Single clicks, the middle button and moves over the icon do nothing.
void Form1::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick)
        RestoreWindow();
}

void Form1::closeClicked() {
    deleteTrayIcon();
    close();
}

void Form1::helpClicked() {
    const auto page = platform::resolveStoredName(programFolder_, "\\help.htm");
    // Only a real page is handed to the desktop: a pipe or a device there would hold up the viewer.
    std::error_code error;
    if (std::filesystem::exists(page, error) && !platform::isRegularFile(page))
        return;
    openUrl_(QUrl::fromLocalFile(QFile::decodeName(page.c_str())));
}

void Form1::closeEvent(QCloseEvent* event) {
    deleteTrayIcon();
    sleepTimer_.cancel();
    queryUnload();
    unload();
    event->accept();
}

void Form1::queryUnload() {
    StopSound();
}

void Form1::unload() {
    writeStartupSettings();
}

void Form1::showColourPicture(int colour) {
    const auto file = platform::resolveStoredName(programFolder_,
                                                  engine::kNoiseColours[index(colour)].pictureFile);
    Picture1->setPixmap(pictureFrom(file));
}

std::array<widgets::CheckBox*, engine::kColourCount> Form1::toggles() const {
    return {Check1, Check2, Check3, Check4, Check5};
}

std::array<widgets::Slider*, engine::kColourCount> Form1::volumeSliders() const {
    return {HScroll3, HScroll4, HScroll5, HScroll6, HScroll7};
}

std::array<widgets::Slider*, engine::kColourCount> Form1::frequencySliders() const {
    return {HScroll8, HScroll9, HScroll10, HScroll11, HScroll12};
}

std::array<QLabel*, engine::kColourCount> Form1::readouts() const {
    return {Label1, Label2, Label3, Label6, Label7};
}

std::array<QWidget*, 15> Form1::configurationControls() const {
    return {Check1,   Check2,   Check3,   Check4,   Check5,    HScroll3,  HScroll4, HScroll5,
            HScroll6, HScroll7, HScroll8, HScroll9, HScroll10, HScroll11, HScroll12};
}

} // namespace calmfield::shell
