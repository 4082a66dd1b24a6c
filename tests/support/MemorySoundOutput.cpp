#include "tests/support/MemorySoundOutput.h"

namespace calmfield::testsupport {

MemorySoundOutput::MemorySoundOutput(std::uint32_t sampleRate, bool available)
    : sampleRate_(sampleRate), available_(available) {}

bool MemorySoundOutput::start(engine::AudioRenderer& renderer, std::chrono::milliseconds) {
    if (onStart)
        onStart();
    if (!available_)
        return false;
    renderer_ = &renderer;
    return true;
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

} // namespace calmfield::testsupport
