#include "session/NoiseSession.h"

#include <QFile>

namespace calmfield::session {
namespace {

QString recentMixesFile(const std::filesystem::path& userSettingsFolder) {
    if (userSettingsFolder.empty())
        return {};
    return QFile::decodeName((userSettingsFolder / "recent-mixes").c_str());
}

} // namespace

NoiseSession::NoiseSession(SoundDevices devices, SessionFolders folders, MessageSink& messages,
                           player::SleepClock sleepClock)
    : bank_(devices.output), player_(bank_, devices.volume, folders.programFolder,
                                     sleepClock ? std::move(sleepClock) : player::timeSinceBoot),
      toneFile_(player_, folders.userSettingsFolder, messages),
      settingsFile_(folders.programFolder, folders.userSettingsFolder, messages),
      recentMixes_(player_, recentMixesFile(folders.userSettingsFolder)) {}

NoiseSession::~NoiseSession() = default;

bool NoiseSession::openVolumePort() {
    return player_.openVolumePort(player::MixPlayer::kVolumePortTimeout);
}

SoundStart NoiseSession::startSound() {
    SoundStart start{.device = player_.openSoundDevice()};
    start.unusableFiles = player_.createChannels();
    settingsFile_.readInto(player_);
    return start;
}

void NoiseSession::end() {
    if (ended_)
        return;
    ended_ = true;
    player_.sleepTimer().cancel();
    player_.stopAndRewind();
    player_.releaseMute(kMuteReleaseWait);
    settingsFile_.writeFrom(player_);
    toneFile_.writePending();
    emit ended();
}

} // namespace calmfield::session
