#pragma once

#include "engine/ChannelBank.h"
#include "player/MixPlayer.h"
#include "player/RecentMixes.h"
#include "session/StartupSettingsFile.h"
#include "session/ToneFileKeeper.h"

#include <QObject>

#include <filesystem>
#include <string>
#include <vector>

namespace calmfield::engine {
class SoundOutput;
}
namespace calmfield::sound {
class VolumePort;
}

namespace calmfield::session {

// Where a run finds its sounds and keeps its settings.
struct SessionFolders {
    // Holds the sound files and the colour pictures, and the startup settings file when it can.
    std::filesystem::path programFolder;
    // The user's own folder for the startup settings file.
    std::filesystem::path userSettingsFolder;
};

// What a run plays through: the sound server's devices, or a test's doubles. Both outlive the
// session.
struct SoundDevices {
    engine::SoundOutput& output;
    sound::VolumePort& volume;
};

// How the sound's start went: whether the sound device opened, or the sound server's reason why
// not, and the sound files that could not be used.
struct SoundStart {
    files::Result<files::Done, std::string> device = files::Done{};
    std::vector<engine::UnusableSoundFile> unusableFiles{};
};

// The sound of one run of the program: the channels, the speakers' volume, the mix player, the
// startup settings file, the listener's tone file and the recent mixes, made at start and kept
// until the program ends. Windows and the media controls are views of it. It reports how its
// start went and leaves the telling to the run; the run's sound ends once, writing the startup
// settings file.
class NoiseSession : public QObject {
    Q_OBJECT

  public:
    NoiseSession(SoundDevices devices, SessionFolders folders, MessageSink& messages,
                 player::SleepClock sleepClock = player::timeSinceBoot);
    ~NoiseSession() override;

    player::MixPlayer& player() { return player_; }
    // The mixes loaded and saved last, kept in the user's settings folder.
    player::RecentMixes& recentMixes() { return recentMixes_; }
    // The channels the player plays, over the run's sound output.
    engine::ChannelBank& channelBank() { return bank_; }

    // Opens the speakers' volume, waiting for it a bounded time; false when it cannot be opened.
    bool openVolumePort();
    // Opens the sound device, makes the channels and reads the startup settings file into the
    // player. A device that cannot be opened now plays as soon as its server answers, the mix
    // rising gently from silence then.
    SoundStart startSound();

    // How long the end of a run waits for the server to give back the volume Mute took.
    static constexpr std::chrono::milliseconds kMuteReleaseWait{500};

    // Cancels the sleep timer, stops the channels, gives back the speakers' volume Mute took and
    // writes the startup settings file; later calls do nothing.
    void end();
    bool hasEnded() const { return ended_; }

  signals:
    void ended();

  private:
    engine::ChannelBank bank_;
    player::MixPlayer player_;
    ToneFileKeeper toneFile_;
    StartupSettingsFile settingsFile_;
    player::RecentMixes recentMixes_;
    bool ended_ = false;
};

} // namespace calmfield::session
