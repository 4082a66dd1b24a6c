#pragma once

#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// The source of everything a sound output plays.
class AudioRenderer {
  public:
    virtual ~AudioRenderer() = default;

    // Writes `frames` interleaved stereo float frames (left, right) for playback at `sampleRate`.
    // Runs on the audio thread: it must not block, allocate or take a lock.
    virtual void render(float* interleavedStereo, std::size_t frames,
                        std::uint32_t sampleRate) noexcept = 0;

    // The output is about to render again, over what it had queued, the last `frames` it was
    // given: whatever runs on a schedule of rendered frames, such as a long fade, steps back by as
    // much, so that it stays in time with the speakers. Called on the audio thread.
    virtual void rewind(std::size_t /*frames*/) noexcept {}

    // True when everything rendered from now on is silence until the output is woken (see
    // SoundOutput::wake), so that the output may stop asking. Called on the audio thread.
    virtual bool idle() const noexcept { return false; }
};

} // namespace calmfield::engine
