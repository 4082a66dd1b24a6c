#include "app/NoiseSession.h"

#include "platform/DesktopSoundOutput.h"
#include "platform/PulseVolumePort.h"
#include "shell/MainWindow.h"
#include "shell/Messages.h"
#include "shell/SoundFileMessages.h"
#include "widgets/MessageSink.h"

#include <QFile>

namespace calmfield::app {
namespace {

QString recentMixesFile(const std::filesystem::path& userSettingsFolder) {
    if (userSettingsFolder.empty())
        return {};
    return QFile::decodeName((userSettingsFolder / "recent-mixes").c_str());
}

} // namespace

NoiseSession::NoiseSession(SessionFolders folders, widgets::MessageSink& messages)
    : NoiseSession(std::make_unique<platform::DesktopSoundOutput>(),
                   std::make_unique<platform::PulseVolumePort>(), std::move(folders), messages) {}

NoiseSession::NoiseSession(std::unique_ptr<engine::SoundOutput> output,
                           std::unique_ptr<platform::VolumePort> volume, SessionFolders folders,
                           widgets::MessageSink& messages)
    : messages_(messages), ownOutput_(std::move(output)), ownVolume_(std::move(volume)),
      ownBank_(std::make_unique<engine::ChannelBank>(*ownOutput_)),
      player_(*ownBank_, *ownVolume_, folders.programFolder),
      listenerTone_(player_, folders.userSettingsFolder, messages),
      settingsFile_(folders.programFolder, folders.userSettingsFolder, messages),
      recentMixes_(player_, recentMixesFile(folders.userSettingsFolder)) {}

NoiseSession::NoiseSession(engine::ChannelBank& bank, platform::VolumePort& volume,
                           SessionFolders folders, widgets::MessageSink& messages,
                           player::SleepClock sleepClock)
    : messages_(messages), player_(bank, volume, folders.programFolder,
                                   sleepClock ? std::move(sleepClock) : player::timeSinceBoot),
      listenerTone_(player_, folders.userSettingsFolder, messages),
      settingsFile_(folders.programFolder, folders.userSettingsFolder, messages),
      recentMixes_(player_, recentMixesFile(folders.userSettingsFolder)) {}

NoiseSession::~NoiseSession() = default;

void NoiseSession::startUp(shell::MainWindow& window) {
    const bool volumePortOpen = openVolumePort();
    window.showAtStart(volumePortOpen);
    if (!volumePortOpen)
        return;
    startSound(WithoutDevice::stop);
    window.runStartInTrayTimer();
}

void NoiseSession::startUpWithoutWindow() {
    openVolumePort();
    startSound(WithoutDevice::goOn);
}

bool NoiseSession::openVolumePort() {
    if (player_.openVolumePort(player::MixPlayer::kVolumePortTimeout))
        return true;
    messages_.showMessage(QString::fromLatin1(shell::kVolumePortFailureMessage));
    return false;
}

void NoiseSession::startSound(WithoutDevice withoutDevice) {
    if (!player_.openSoundDevice()) {
        messages_.showMessage(QString::fromLatin1(shell::kDeviceFailureMessage));
        if (withoutDevice == WithoutDevice::stop)
            return;
    }
    const std::string unusable = shell::unusableSoundFilesMessage(player_.createChannels());
    if (!unusable.empty())
        messages_.showMessage(QString::fromStdString(unusable));
    settingsFile_.readInto(player_);
}

void NoiseSession::endWhenClosed(shell::MainWindow& window) {
    connect(&window, &shell::MainWindow::closed, this, &NoiseSession::end);
}

void NoiseSession::end() {
    if (ended_)
        return;
    ended_ = true;
    player_.sleepTimer().cancel();
    player_.stopAndRewind();
    settingsFile_.writeFrom(player_);
    listenerTone_.writePending();
    emit ended();
}

} // namespace calmfield::app
