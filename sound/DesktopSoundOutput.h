#pragma once

#include "engine/AudioRenderer.h"
#include "engine/SoundOutput.h"
#include "files/ProgramTitle.h"
#include "sound/PipeWireSoundOutput.h"
#include "sound/PulseSoundOutput.h"
#include "sound/ReconnectionFade.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <semaphore>
#include <string>
#include <thread>

namespace calmfield::sound {

// The sound output of the desktop's sound server: natively through PipeWire where the PulseAudio
// server that answers is PipeWire's own (see chooseOutput), through PulseAudio otherwise. It
// chooses when it starts, and again each time the server comes back after going away: then it
// tries every second, and the sound rises from silence rather than coming back with a click. A
// start that finds no server is tried again in the same way; it still says that it failed.
class DesktopSoundOutput final : public engine::SoundOutput, private engine::AudioRenderer {
  public:
    static constexpr std::chrono::milliseconds kRetryInterval{1000};
    // How long a server that is back may take to answer before the next try.
    static constexpr std::chrono::milliseconds kReconnectionTimeout{2000};

    // An empty address means the user's own server (PULSE_SERVER, or the runtime folder's).
    explicit DesktopSoundOutput(std::string pulseAddress = {},
                                std::string applicationName = files::kProgramTitle);
    ~DesktopSoundOutput() override;
    DesktopSoundOutput(const DesktopSoundOutput&) = delete;
    DesktopSoundOutput& operator=(const DesktopSoundOutput&) = delete;

    engine::OutputStart start(engine::AudioRenderer& renderer,
                              std::chrono::milliseconds timeout) override;
    void stop() override;
    void wake() override;

    // Whether the native PipeWire output plays now.
    bool native() const { return native_.load(std::memory_order_relaxed); }
    // The rate of the stream now playing, or 0 while none is.
    std::uint32_t sampleRate() const;
    // How many times an output has started since start(): 1 at first, one more per reconnection.
    unsigned connections() const { return connections_.load(std::memory_order_relaxed); }

  private:
    // What the chosen output plays: the renderer's sound, faded in after a reconnection.
    void render(float* interleavedStereo, std::size_t frames,
                std::uint32_t sampleRate) noexcept override;
    void rewind(std::size_t frames) noexcept override;
    bool idle() const noexcept override;

    engine::OutputStart startChosen(std::chrono::milliseconds timeout);
    void stopPlaying();
    void followServer();

    const std::string pulseAddress_;
    const std::string applicationName_;
    engine::AudioRenderer* renderer_ = nullptr;

    // The output that plays; the follower replaces it, wake() and sampleRate() look at it.
    mutable std::mutex playingMutex_;
    std::unique_ptr<PulseSoundOutput> pulse_;
    std::unique_ptr<PipeWireSoundOutput> pipeWire_;
    engine::SoundOutput* playing_ = nullptr;

    std::thread follower_;
    std::counting_semaphore<> news_{0}; // a loss, or stop()
    std::atomic<bool> stopping_{false};
    std::atomic<bool> native_{false};
    std::atomic<unsigned> connections_{0};

    // The fade-in after a reconnection: asked for by the follower, run on the audio thread.
    std::atomic<bool> fadeInAsked_{false};
    ReconnectionFade fadeIn_;
};

} // namespace calmfield::sound
