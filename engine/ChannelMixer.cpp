#include "engine/ChannelMixer.h"

#include "engine/DenormalsFlushed.h"

#include <algorithm>

namespace calmfield::engine {

void ChannelMixer::attach(int slot, ChannelVoice* voice) {
    voices_[static_cast<std::size_t>(slot)].store(voice, std::memory_order_release);
}

void ChannelMixer::render(float* interleavedStereo, std::size_t frames,
                          std::uint32_t sampleRate) noexcept {
    const DenormalsFlushed flushed;
    // Block by block, so that the voices add into a buffer still in the processor's cache.
    for (std::size_t done = 0; done < frames; done += kBlockFrames)
        renderBlock(interleavedStereo + 2 * done, std::min(kBlockFrames, frames - done),
                    sampleRate);
}

void ChannelMixer::renderBlock(float* interleavedStereo, std::size_t frames,
                               std::uint32_t sampleRate) noexcept {
    std::fill_n(interleavedStereo, frames * 2, 0.0f);
    colourGains_.advance(frames, sampleRate, powers_);
    ToneMix playing;
    for (std::size_t slot = 0; slot < voices_.size(); ++slot) {
        if (ChannelVoice* voice = voices_[slot].load(std::memory_order_acquire)) {
            voice->mixInto(interleavedStereo, frames, sampleRate, colourGains_.gain(slot));
            playing.sources[slot] = voice->toneSource(kNoiseColours[slot].spectrumSlopeDbPerOctave);
        }
        powers_[slot] = playing.sources[slot].power;
    }
    tone_.setMix(playing);
    tone_.process(interleavedStereo, frames, sampleRate);
    limiter_.process(interleavedStereo, frames, sampleRate);
    masterGain_.apply(interleavedStereo, frames, sampleRate);
    // Only a fault in the limiter could leave anything here to clamp.
    for (std::size_t i = 0; i < frames * 2; ++i)
        interleavedStereo[i] = std::clamp(interleavedStereo[i], -1.0f, 1.0f);
}

bool ChannelMixer::idle() const noexcept {
    if (masterGain_.silent())
        return true;
    for (const auto& slot : voices_) {
        const ChannelVoice* voice = slot.load(std::memory_order_acquire);
        if (voice != nullptr && !voice->silent())
            return false;
    }
    return !tone_.holdsSound() && !limiter_.holdsSound();
}

} // namespace calmfield::engine
