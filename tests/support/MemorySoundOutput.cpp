#include "tests/support/MemorySoundOutput.h"

#include "engine/ChannelMixer.h"
#include "engine/ChannelVoice.h"

#include <cmath>

namespace calmfield::testsupport {

MemorySoundOutput::MemorySoundOutput(std::uint32_t sampleRate, bool available)
    : sampleRate_(sampleRate), available_(available) {}

engine::OutputStart MemorySoundOutput::start(engine::AudioRenderer& renderer,
                                             std::chrono::milliseconds) {
    if (onStart)
        onStart();
    if (!available_)
        return files::failure(std::string(kRefusal));
    renderer_ = &renderer;
    return files::Done{};
}

void MemorySoundOutput::stop() {
    renderer_ = nullptr;
}

std::vector<float> MemorySoundOutput::pull(std::size_t frames) {
    std::vector<float> samples(frames * 2, 0.0f);
    if (renderer_ != nullptr && frames > 0)
        renderer_->render(samples.data(), frames, sampleRate_);
    return samples;
}

long MemorySoundOutput::playingPosition(const engine::SoundBuffer& sound) {
    constexpr std::size_t kMatchedFrames = 16;
    // The mix reaches the output the mixer's latency late, and fades in over a ramp first.
    const std::size_t ramp = engine::ChannelVoice::rampFrames(sampleRate_);
    const std::size_t skipped = engine::ChannelMixer::latencyFrames(sampleRate_) + ramp;
    const auto out = pull(skipped + kMatchedFrames);
    auto sampleAt = [&](std::size_t frame) {
        return static_cast<long>(std::lround(out[2 * frame] * 32768.0f));
    };
    for (std::size_t start = 0; start + kMatchedFrames <= sound.frames(); ++start) {
        std::size_t n = 0;
        while (n < kMatchedFrames && sound.left(start + n) == sampleAt(skipped + n))
            ++n;
        if (n == kMatchedFrames)
            return static_cast<long>(start) - static_cast<long>(ramp);
    }
    return -1;
}

} // namespace calmfield::testsupport
