#pragma once

#include "engine/ChannelBank.h"
#include "engine/SoundOutput.h"
#include "persistence/Mix.h"
#include "player/MasterVolume.h"
#include "player/MediaState.h"
#include "player/MixFader.h"
#include "player/SleepTimer.h"
#include "sound/VolumePort.h"

#include <QObject>

#include <chrono>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace calmfield::player {

// The colour as people name it: "Brown" for the "Brown Noise" toggle.
QString colourName(std::size_t colour);

// The mix as it sounds: the five channels with their toggles, volumes and frequencies, the
// panning, the master volume on the speakers, Mute, the pause and the sleep timer's fade. It is
// the one place these are kept. Every operation acts only when it changes something, and each
// change is announced by a signal, so that a view can mirror it.
class MixPlayer : public QObject {
    Q_OBJECT

  public:
    static constexpr int kWidestPanning = 3000; // hundredths of a decibel either way
    static constexpr int kLoudestMaster = 32750;
    static constexpr int kStartingMaster = 16000;
    // How long start-up waits for the speakers' volume, with or without a window.
    static constexpr std::chrono::milliseconds kVolumePortTimeout{3000};
    // What Reset All sets.
    static constexpr int kResetVolume = -1500;
    static constexpr int kResetFrequency = 32767;

    // Plays the channels of `bank`, which must outlive the player. `programFolder` holds the
    // sound files and the colour pictures.
    MixPlayer(engine::ChannelBank& bank, sound::VolumePort& volume,
              std::filesystem::path programFolder, SleepClock sleepClock = timeSinceBoot,
              QObject* parent = nullptr);
    ~MixPlayer() override;

    // Opens the speakers' volume; false when it cannot be reached.
    // Nothing is sent to the speakers until the master volume changes.
    bool openVolumePort(std::chrono::milliseconds timeout);
    // Opens the sound device, or says why it cannot be reached.
    engine::OutputStart openSoundDevice();
    // Creates the five channels at their volumes in the mix, playing nothing and at their sound
    // files' own rates. Gives the sound files that could not be used.
    std::vector<engine::UnusableSoundFile> createChannels();

    const persistence::Mix& mix() const { return mix_; }
    int panning() const { return panning_; }
    int masterVolume() const { return masterVolume_; }
    int startInTray() const { return startInTray_; }
    // The listener's tone, which shapes whatever mix plays; Reset All and Load leave it as it is.
    const engine::ToneSetting& tone() const { return tone_; }
    // How the mix's levels drift; part of the mix, so Load takes it and Reset All turns it off.
    const engine::DriftSetting& drift() const { return mix_.drift; }
    // The colour's level as drift has moved it last, in decibels below its volume (0 or less).
    float driftLevelDb(int colour) const { return bank_.driftLevelDb(colour); }
    persistence::Settings settings() const { return {mix_, startInTray_}; }
    // The rate the colour's channel plays at, or none when it has no channel.
    std::optional<int> channelFrequency(int colour);

    void setToggle(int colour, int state);
    void setVolume(int colour, int volume);
    void setFrequency(int colour, int hz);
    void setPanning(int panning);
    void setMasterVolume(int position);
    void setStartInTray(int state);
    void setTone(const engine::ToneSetting& tone);
    void setDrift(const engine::DriftSetting& drift);
    // Drift on another path, its seed drawn at random.
    void newDriftPath();
    // The first press saves the master volume and sets it to zero, the next one brings it back.
    void toggleMute();
    // As the run ends, gives back the speakers' volume that Mute took, when the master slider
    // still stands at Mute's 0, waiting at most `timeout` for the server to take it.
    void releaseMute(std::chrono::milliseconds timeout);
    bool muted() const { return muted_; }
    // Turns every colour off, then sets every volume and frequency to its reset value, and turns
    // drift off.
    void resetAll();
    // Takes a whole mix, field by field as the user would set them; then every channel is set
    // to its volume and frequency, changed or not.
    void load(const persistence::Mix& mix);
    // "Start in system tray" first, then the mix.
    void load(const persistence::Settings& settings);
    // Takes the startup settings as load() does; when they play something, the sound rises
    // gently from silence.
    void loadRisingGently(const persistence::Settings& settings);
    // Stops every channel and moves it back to its start; the mix stays as it is.
    void stopAndRewind();

    // Fades the mix out to a pause, or back in; the mix stays as it is. Ticking a colour on
    // also ends a pause.
    void pause();
    void play();
    bool paused() const { return fader_.paused(); }
    // Before the computer sleeps the sound falls silent quickly; once it wakes the sound rises
    // gently from silence, unless paused.
    void silenceForSuspend() { fader_.silenceForSuspend(); }
    void riseAfterResume() { fader_.riseFromSilence(); }
    // The ticked colours, the most recently ticked first.
    const std::vector<int>& tickedColours() const { return tickedColours_; }
    // What the desktop's media controls show of the mix.
    MediaState mediaState() const;

    SleepTimer& sleepTimer() { return sleepTimer_; }
    const SleepTimer& sleepTimer() const { return sleepTimer_; }

  signals:
    void toggleChanged(int colour);
    void volumeChanged(int colour);
    void frequencyChanged(int colour);
    // The rate the colour's channel plays at has changed, or the channel was made.
    void channelFrequencyChanged(int colour, int hz);
    void panningChanged();
    void masterVolumeChanged();
    void muteChanged();
    void startInTrayChanged();
    void toneChanged();
    void driftChanged();
    // What mediaState() gives may have changed: the ticked colours or the pause.
    void mediaStateChanged();

  private:
    // Sets the channel of `colour` from the mix, when it has one.
    void sendVolume(int colour);
    void sendFrequency(int colour);
    void sendMasterVolume(int position, bool byMute);
    void noteTicked(int colour, bool ticked);
    QUrl artUrl() const;

    std::filesystem::path programFolder_;
    engine::ChannelBank& bank_;
    SleepTimer sleepTimer_;
    MixFader fader_;
    sound::VolumePort& volumePort_;
    persistence::Mix mix_;
    int panning_ = 0;
    int masterVolume_ = kStartingMaster;
    int startInTray_ = persistence::kOff;
    engine::ToneSetting tone_;
    std::vector<int> tickedColours_;
    bool muted_ = false;
    int savedMasterVolume_ = 0;
};

} // namespace calmfield::player
