#pragma once

#include "platform/PulseMainLoop.h"
#include "platform/SoundOutput.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace calmfield::platform {

// Plays through a PulseAudio sound server from libpulse's own thread, in stereo float at the
// server's rate. Once started, it follows the server: when the server goes away the output tries
// again every second and picks up the rate of whichever server answers next. While the renderer is
// idle the stream is corked, so that neither the program nor the server wakes for silence.
class PulseSoundOutput final : public SoundOutput {
  public:
    // How far ahead of the speakers the program plays. Every halving of it doubles how often the
    // program and the server wake up, which is nearly all that playing costs: at 50 ms the two
    // together took 1.8 % of a core, at 150 ms 0.7 to 0.9 %, and a committed slider change is still
    // heard within a sixth of a second. Within that sixth of a second nothing else woke either side
    // less often: larger minimum requests, or not letting the server adjust the latency, made
    // PulseAudio's sink wake as often or more, and pipewire-pulse asks in whole graph cycles.
    static constexpr std::chrono::milliseconds kLatency{150};
    static constexpr std::chrono::milliseconds kRetryInterval{1000};

    // An empty address means the user's default server.
    explicit PulseSoundOutput(std::string serverAddress = {},
                              std::string applicationName = "Calmfield");
    ~PulseSoundOutput() override;
    PulseSoundOutput(const PulseSoundOutput&) = delete;
    PulseSoundOutput& operator=(const PulseSoundOutput&) = delete;

    bool start(AudioRenderer& renderer, std::chrono::milliseconds timeout) override;
    void stop() override;
    void wake() override;

    // The rate of the stream now playing, or 0 while none is.
    std::uint32_t sampleRate() const { return playingRate_.load(std::memory_order_relaxed); }
    // How many times a stream has become ready since start(): 1 at first, one more per
    // reconnection.
    unsigned connections() const { return connections_.load(std::memory_order_relaxed); }
    // True while the stream is corked, or about to be, because the renderer is idle.
    bool resting() const { return resting_.load(); }

  private:
    // Where the connection stands; read and written only with the main loop's lock held.
    enum class Phase { Idle, Starting, StartFailed, Playing, Reconnecting };
    struct Callbacks;

    bool connectContext();
    bool createStream(std::uint32_t rate);
    void handleFailure();
    void scheduleRetry();
    void retryNow();
    void releaseConnection();
    void fadeIn(float* interleavedStereo, std::size_t frames);
    void countSilence(std::size_t bytes);
    void rest(unsigned wakeSerial);
    void resume();

    const std::string serverAddress_;
    const std::string applicationName_;

    pa_threaded_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pulse::RetryTimer retryTimer_{
        [](void* self) { static_cast<PulseSoundOutput*>(self)->retryNow(); }, this};
    AudioRenderer* renderer_ = nullptr;
    Phase phase_ = Phase::Idle;
    std::uint32_t streamRate_ = 0;
    std::uint32_t fadeInFrames_ = 0;
    std::uint32_t fadeInLeft_ = 0;
    pa_buffer_attr playingBuffer_{};
    pa_buffer_attr restingBuffer_{};
    std::size_t silentBytes_ = 0;    // written since the renderer last was not idle
    std::size_t restAfterBytes_ = 0; // more than the server can hold unplayed

    std::atomic<std::uint32_t> playingRate_{0};
    std::atomic<unsigned> connections_{0};
    // A wake() and the audio thread's decision to cork see each other through these two: the
    // stream is never left corked after a wake that came in while its last buffer was rendered.
    std::atomic<unsigned> wakeSerial_{0};
    std::atomic<bool> resting_{false};
};

} // namespace calmfield::platform
