#pragma once

#include "engine/SoundBuffer.h"
#include "engine/SoundOutput.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace calmfield::testsupport {

// A sound output that plays into memory when asked to: tests pull exactly the frames they want.
class MemorySoundOutput final : public engine::SoundOutput {
  public:
    explicit MemorySoundOutput(std::uint32_t sampleRate = 48000, bool available = true);

    engine::OutputStart start(engine::AudioRenderer& renderer,
                              std::chrono::milliseconds timeout) override;
    void stop() override;
    void wake() override { ++wakes_; }

    // Renders `frames` stereo frames (interleaved); silence when not started.
    std::vector<float> pull(std::size_t frames);
    // The frame of `sound` at which the only channel playing, just started at the output's rate,
    // goes on, found by pulling past its fade-in and matching what comes out against the sound;
    // -1 when nothing matches.
    long playingPosition(const engine::SoundBuffer& sound);

    std::uint32_t sampleRate() const { return sampleRate_; }
    void setSampleRate(std::uint32_t sampleRate) { sampleRate_ = sampleRate; }
    bool started() const { return renderer_ != nullptr; }
    // Why an unavailable output does not start, as a server that is not running says.
    static constexpr char kRefusal[] = "Connection refused";
    engine::AudioRenderer* renderer() const { return renderer_; }
    // How many times the output was told that the sound changed.
    unsigned wakes() const { return wakes_; }

    // Runs when the output is started, before anything else happens.
    std::function<void()> onStart;

  private:
    std::uint32_t sampleRate_;
    bool available_;
    engine::AudioRenderer* renderer_ = nullptr;
    unsigned wakes_ = 0;
};

} // namespace calmfield::testsupport
