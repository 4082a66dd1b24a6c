#pragma once

#include "engine/ChannelControls.h"
#include "engine/ChannelVoice.h"
#include "engine/SoundBuffer.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace calmfield::engine {

// One looping noise channel as the user-interface thread sees it. Every operation takes effect
// at once, playing or not; the audio thread picks it up through lock-free controls.
class NoiseChannel {
  public:
    // `soundChanged` is called after every change, so that an output that stopped asking for
    // audio, or that holds much of it queued, plays the change at once. `wanderSeed` sets the
    // voice's course through the sound.
    explicit NoiseChannel(std::shared_ptr<const SoundBuffer> sound,
                          std::function<void()> soundChanged = {},
                          WanderSeed wanderSeed = seedFromClock());
    NoiseChannel(const NoiseChannel&) = delete;
    NoiseChannel& operator=(const NoiseChannel&) = delete;

    // Plays the sound on and on from the current position; a playing channel goes on.
    void play();
    // Halts playback, keeping the position for the next play().
    void stop();
    // Moves the play position to `frame` (wrapped into the sound).
    void setPosition(std::int32_t frame);
    // Attenuation in hundredths of a decibel, -10000 (silence) to 0 (the sound's own level).
    void setVolume(std::int32_t hundredthsDb);
    // Hundredths of a decibel: negative attenuates the right side, positive the left side.
    void setPan(std::int32_t hundredthsDb);
    // Playback rate in Hz, which changes pitch and speed together.
    void setFrequency(std::int32_t hz);
    // The rate last set, or the sound's own rate if none was set.
    std::int32_t frequency() const { return static_cast<std::int32_t>(frequency_); }

    bool isPlaying() const { return playing_; }
    std::int32_t volume() const { return volume_; }
    std::int32_t pan() const { return pan_; }
    const SoundBuffer& sound() const { return *sound_; }

    // The audio thread's renderer of this channel.
    ChannelVoice& voice() { return voice_; }

    static constexpr std::int32_t kLowestFrequency = 100;
    static constexpr std::int32_t kHighestFrequency = 200000;
    static constexpr std::int32_t kSilence = -10000;

  private:
    void publishGains();
    void tellOutput();

    std::shared_ptr<const SoundBuffer> sound_;
    std::function<void()> soundChanged_;
    ChannelControls controls_;
    ChannelVoice voice_;
    bool playing_ = false;
    std::int32_t volume_ = 0;
    std::int32_t pan_ = 0;
    std::uint32_t frequency_;
    std::uint32_t seekSerial_ = 0;
};

} // namespace calmfield::engine
