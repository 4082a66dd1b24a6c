#include "engine/NoiseChannel.h"

#include "engine/Decibels.h"

#include <algorithm>

namespace calmfield::engine {

NoiseChannel::NoiseChannel(std::shared_ptr<const SoundBuffer> sound,
                           std::function<void()> soundChanged, WanderSeed wanderSeed)
    : sound_(std::move(sound)), soundChanged_(std::move(soundChanged)),
      voice_(*sound_, controls_, wanderSeed), frequency_(sound_->sampleRate()) {
    controls_.frequency.store(frequency_, std::memory_order_relaxed);
}

void NoiseChannel::play() {
    playing_ = true;
    controls_.playing.store(true, std::memory_order_release);
    tellOutput();
}

void NoiseChannel::stop() {
    playing_ = false;
    controls_.playing.store(false, std::memory_order_release);
    tellOutput();
}

void NoiseChannel::setPosition(std::int32_t frame) {
    const auto frames = static_cast<std::int64_t>(sound_->frames());
    const auto wrapped = static_cast<std::uint64_t>(((frame % frames) + frames) % frames);
    ++seekSerial_;
    controls_.seek.store((static_cast<std::uint64_t>(seekSerial_) << 32) | wrapped,
                         std::memory_order_release);
    tellOutput();
}

void NoiseChannel::setVolume(std::int32_t hundredthsDb) {
    volume_ = std::clamp(hundredthsDb, kSilence, 0);
    publishGains();
}

void NoiseChannel::setPan(std::int32_t hundredthsDb) {
    pan_ = std::clamp(hundredthsDb, kSilence, -kSilence);
    publishGains();
}

void NoiseChannel::setFrequency(std::int32_t hz) {
    frequency_ = static_cast<std::uint32_t>(std::clamp(hz, kLowestFrequency, kHighestFrequency));
    controls_.frequency.store(frequency_, std::memory_order_relaxed);
    tellOutput();
}

void NoiseChannel::publishGains() {
    const StereoGain gain = stereoGain(volume_, pan_);
    controls_.leftGain.store(gain.left, std::memory_order_relaxed);
    controls_.rightGain.store(gain.right, std::memory_order_relaxed);
    tellOutput();
}

void NoiseChannel::tellOutput() {
    if (soundChanged_)
        soundChanged_();
}

} // namespace calmfield::engine
