#pragma once

#include "engine/ChannelControls.h"
#include "engine/SoundBuffer.h"
#include "engine/ToneDesign.h"
#include "engine/WanderingReader.h"

#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// The audio thread's side of one channel: it follows the channel's controls, reads the sound at
// the requested playback rate, wandering through it (see WanderingReader), and adds it into the
// output. Every change is ramped so that nothing
// clicks: gains glide to new values and starts, stops and jumps fade out and in.
class ChannelVoice {
  public:
    static constexpr double kRampSeconds = 0.005;

    ChannelVoice(const SoundBuffer& sound, const ChannelControls& controls, WanderSeed seed);

    // Adds `frames` stereo frames at `outputRate` to `out`, times `colourGain` over the channel's
    // own gains. Never blocks, allocates or locks.
    void mixInto(float* out, std::size_t frames, std::uint32_t outputRate,
                 float colourGain = 1.0f) noexcept;

    // True when the voice adds nothing until its channel plays again.
    bool silent() const noexcept { return !playing_ && fade_ == 0; }

    // What the voice plays as of its last mixInto(), for the tone, its sound's spectrum rising by
    // `slopeDbPerOctave`: nothing once it is stopped, else the sound at the gains and rate it is
    // going to.
    ToneSource toneSource(double slopeDbPerOctave) const noexcept;

    // The number of frames a ramp or fade lasts at `outputRate`.
    static std::uint32_t rampFrames(std::uint32_t outputRate) noexcept;

  private:
    void followControls(std::uint32_t outputRate) noexcept;
    bool advanceEnvelopeAndGains() noexcept;
    using Reading = WanderingReader::Reading;
    void mixSteady(float* out, std::size_t frames, const Reading& reading) noexcept;
    void mixFrame(float* out, const Reading& reading) noexcept;

    const SoundBuffer& sound_;
    const ChannelControls& controls_;
    WanderingReader reader_;

    std::uint64_t seekSerial_ = 0;
    bool seekPending_ = false;
    std::uint64_t seekPosition_ = 0;

    bool playing_ = false;
    std::uint32_t frequency_ = 0;
    std::uint32_t ramp_ = 1; // frames of a ramp at the current output rate
    std::uint32_t fade_ = 0; // how far a start, stop or jump has faded in, 0 to ramp_
    float envelope_ = 0.0f;  // fade_ / ramp_

    float colourGain_ = 1.0f; // this block's
    float left_ = 1.0f;
    float right_ = 1.0f;
    float leftTarget_ = 1.0f;
    float rightTarget_ = 1.0f;
    float leftStep_ = 0.0f;
    float rightStep_ = 0.0f;
    std::uint32_t gainRampLeft_ = 0;
};

} // namespace calmfield::engine
