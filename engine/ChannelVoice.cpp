#include "engine/ChannelVoice.h"

#include "engine/NoiseColours.h"

#include <algorithm>
#include <cmath>

namespace calmfield::engine {
namespace {

constexpr float kSampleScale = 1.0f / 32768.0f;
constexpr double kFixedOne = 4294967296.0; // 1.0 in 32.32 fixed point

} // namespace

ChannelVoice::ChannelVoice(const SoundBuffer& sound, const ChannelControls& controls,
                           WanderSeed seed)
    : sound_(sound), controls_(controls), reader_(sound, seed) {
    left_ = leftTarget_ = controls_.leftGain.load(std::memory_order_relaxed) * kSampleScale;
    right_ = rightTarget_ = controls_.rightGain.load(std::memory_order_relaxed) * kSampleScale;
}

std::uint32_t ChannelVoice::rampFrames(std::uint32_t outputRate) noexcept {
    return std::max<std::uint32_t>(
        1, static_cast<std::uint32_t>(std::lround(outputRate * kRampSeconds)));
}

void ChannelVoice::followControls(std::uint32_t outputRate) noexcept {
    const std::uint32_t ramp = rampFrames(outputRate);
    if (ramp != ramp_) {
        fade_ = fade_ == ramp_ ? ramp : std::min(fade_, ramp);
        ramp_ = ramp;
        envelope_ = static_cast<float>(fade_) / static_cast<float>(ramp_);
    }
    playing_ = controls_.playing.load(std::memory_order_acquire);

    const std::uint64_t seek = controls_.seek.load(std::memory_order_acquire);
    if ((seek >> 32) != seekSerial_) {
        seekSerial_ = seek >> 32;
        seekPending_ = true;
        seekPosition_ = ((seek & 0xffffffffu) % sound_.frames()) << 32;
    }

    const float left = controls_.leftGain.load(std::memory_order_relaxed) * kSampleScale;
    const float right = controls_.rightGain.load(std::memory_order_relaxed) * kSampleScale;
    if (left != leftTarget_ || right != rightTarget_) {
        leftTarget_ = left;
        rightTarget_ = right;
        gainRampLeft_ = ramp;
        leftStep_ = (leftTarget_ - left_) / static_cast<float>(ramp);
        rightStep_ = (rightTarget_ - right_) / static_cast<float>(ramp);
    }
}

// Moves the fade and the gains one frame on; false when the channel has fallen silent.
bool ChannelVoice::advanceEnvelopeAndGains() noexcept {
    const bool audible = playing_ && !seekPending_;
    if (audible) {
        fade_ = std::min(ramp_, fade_ + 1);
    } else {
        fade_ = fade_ > 0 ? fade_ - 1 : 0;
        if (fade_ == 0) {
            if (seekPending_) {
                reader_.moveTo(seekPosition_);
                seekPending_ = false;
            }
            if (!playing_) {
                envelope_ = 0.0f;
                return false;
            }
        }
    }
    envelope_ = static_cast<float>(fade_) / static_cast<float>(ramp_);
    if (gainRampLeft_ > 0) {
        left_ += leftStep_;
        right_ += rightStep_;
        if (--gainRampLeft_ == 0) {
            left_ = leftTarget_;
            right_ = rightTarget_;
        }
    }
    return true;
}

ToneSource ChannelVoice::toneSource(double slopeDbPerOctave) const noexcept {
    if (!playing_)
        return {};
    const double stretch = static_cast<double>(frequency_) / sound_.sampleRate();
    const double gainSquared = 0.5 * (static_cast<double>(leftTarget_) * leftTarget_ +
                                      static_cast<double>(rightTarget_) * rightTarget_);
    return {sound_.meanSquare() * gainSquared, slopeDbPerOctave, kSpectrumLevelBelowHz * stretch,
            0.5 * frequency_};
}

void ChannelVoice::mixFrame(float* out, const Reading& reading) noexcept {
    reader_.mix(out, 1, reading, colourGain_ * envelope_ * left_, colourGain_ * envelope_ * right_);
}

void ChannelVoice::mixSteady(float* out, std::size_t frames, const Reading& reading) noexcept {
    reader_.mix(out, frames, reading, colourGain_ * left_, colourGain_ * right_);
}

void ChannelVoice::mixInto(float* out, std::size_t frames, std::uint32_t outputRate,
                           float colourGain) noexcept {
    if (outputRate == 0)
        return;
    colourGain_ = colourGain;
    followControls(outputRate);
    frequency_ = controls_.frequency.load(std::memory_order_relaxed);
    const double speed = static_cast<double>(frequency_) / outputRate;
    // Where the moved band would reach above the output's Nyquist frequency, it is cut below it.
    const Reading reading{static_cast<std::uint64_t>(speed * kFixedOne + 0.5),
                          static_cast<float>(std::min(1.0, 1.0 / speed))};

    for (std::size_t n = 0; n < frames; ++n) {
        const bool steady = fade_ == ramp_ && gainRampLeft_ == 0 && playing_ && !seekPending_;
        if (steady) {
            mixSteady(out + 2 * n, frames - n, reading);
            return;
        }
        if (!advanceEnvelopeAndGains())
            return;
        mixFrame(out + 2 * n, reading);
    }
}

} // namespace calmfield::engine
