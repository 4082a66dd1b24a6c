#pragma once

#include "app/ListenerTone.h"
#include "player/MixPlayer.h"
#include "player/RecentMixes.h"
#include "shell/StartupSettingsFile.h"

#include <QObject>

#include <filesystem>
#include <memory>

namespace calmfield::engine {
class ChannelBank;
class SoundOutput;
} // namespace calmfield::engine
namespace calmfield::platform {
class VolumePort;
}
namespace calmfield::shell {
class MainWindow;
}

namespace calmfield::app {

// Where a run finds its sounds and keeps its settings.
struct SessionFolders {
    // Holds the sound files and the colour pictures, and the startup settings file when it can.
    std::filesystem::path programFolder;
    // The user's own folder for the startup settings file.
    std::filesystem::path userSettingsFolder;
};

// The sound of one run of the program: the sound output, the speakers' volume, the mix player,
// the startup settings file and the recent mixes, made at start and kept until the program ends.
// Windows and the media controls are views of it. The run's sound ends once, writing the startup
// settings file.
class NoiseSession : public QObject {
    Q_OBJECT

  public:
    // Plays through the sound server's default output and sets that output's volume.
    NoiseSession(SessionFolders folders, widgets::MessageSink& messages);
    // Plays through `bank` and sets `volume`, which must outlive the session.
    NoiseSession(engine::ChannelBank& bank, platform::VolumePort& volume, SessionFolders folders,
                 widgets::MessageSink& messages, player::SleepClock sleepClock = {});
    ~NoiseSession() override;

    player::MixPlayer& player() { return player_; }
    // The mixes loaded and saved last, kept in the user's settings folder.
    player::RecentMixes& recentMixes() { return recentMixes_; }

    // Starts the run's sound and shows `window`: opens the speakers' volume, shows the window
    // with its tray icon, opens the sound device, makes the channels, reads the startup settings
    // file and runs the start-in-tray timer. When the speakers' volume cannot be opened the window
    // is shown without its tray icon and nothing more is done; when the device cannot, no
    // channels are made and the file is not read. Each failure is told once.
    void startUp(shell::MainWindow& window);
    // Starts the run's sound without a window, telling each failure and going on, so that the
    // noise plays as soon as a sound server answers.
    void startUpWithoutWindow();

    // Ends the run's sound when `window` closes.
    void endWhenClosed(shell::MainWindow& window);
    // Cancels the sleep timer, stops the channels and writes the startup settings file; later
    // calls do nothing.
    void end();
    bool hasEnded() const { return ended_; }

  signals:
    void ended();

  private:
    // Whether start-up goes on to make the channels when the sound device cannot be opened.
    enum class WithoutDevice { stop, goOn };

    NoiseSession(std::unique_ptr<engine::SoundOutput> output,
                 std::unique_ptr<platform::VolumePort> volume, SessionFolders folders,
                 widgets::MessageSink& messages);
    // False when the speakers' volume cannot be opened, having told the user.
    bool openVolumePort();
    // Opens the sound device, makes the channels and reads the startup settings file into the
    // player, telling the user what cannot be used.
    void startSound(WithoutDevice withoutDevice);

    widgets::MessageSink& messages_;
    std::unique_ptr<engine::SoundOutput> ownOutput_;
    std::unique_ptr<platform::VolumePort> ownVolume_;
    std::unique_ptr<engine::ChannelBank> ownBank_;
    player::MixPlayer player_;
    ListenerTone listenerTone_;
    shell::StartupSettingsFile settingsFile_;
    player::RecentMixes recentMixes_;
    bool ended_ = false;
};

} // namespace calmfield::app
