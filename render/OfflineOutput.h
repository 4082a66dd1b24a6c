#pragma once

#include "engine/SoundOutput.h"

#include <cstddef>
#include <cstdint>

namespace calmfield::render {

// A sound output with no device behind it: the renderer runs only when asked for frames, as
// fast as it can, on the caller's thread.
class OfflineOutput final : public engine::SoundOutput {
  public:
    explicit OfflineOutput(std::uint32_t sampleRate) : sampleRate_(sampleRate) {}

    engine::OutputStart start(engine::AudioRenderer& renderer,
                              std::chrono::milliseconds timeout) override;
    void stop() override { renderer_ = nullptr; }
    void wake() override {}

    // Renders the next `frames` interleaved stereo frames; silence before start().
    void pull(float* interleavedStereo, std::size_t frames);

  private:
    std::uint32_t sampleRate_;
    engine::AudioRenderer* renderer_ = nullptr;
};

} // namespace calmfield::render
