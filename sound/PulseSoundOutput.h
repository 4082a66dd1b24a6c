#pragma once

#include "engine/SoundOutput.h"
#include "files/ProgramTitle.h"
#include "sound/PulseConnection.h"
#include "sound/ReconnectionFade.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace calmfield::sound {

// Plays through a PulseAudio sound server from libpulse's own thread, in stereo float at the rate
// of the output it plays on. Once started, it follows the server: when the server goes away the
// output tries again every second and picks up the rate of whichever server answers next. Moved to
// an output of another rate, it opens its stream again at that rate once the renderer is idle.
// While the renderer is idle the stream is corked, so that neither the program nor the server wakes
// for silence. Both PulseAudio and pipewire-pulse take audio written over what is already queued,
// so changes are heard within a sixth of a second although two seconds are queued.
class PulseSoundOutput final : public engine::SoundOutput, private pulse::PulseConnection::Client {
  public:
    // How much audio the program keeps queued in the server, and how much it adds at a time.
    // Waking up is nearly all that playing costs, so the queue is long: the program wakes twice a
    // second, and the server's sink as rarely as its other streams let it. Each side of the queue
    // must exceed two refills, or PulseAudio runs its sink at its shortest latency. A change does
    // not wait behind the queue: the queued audio is rewritten from kChangeLead ahead of the
    // speakers on, crossfading from what was queued into the change over kCrossfade.
    static constexpr std::chrono::milliseconds kLatency{2000};
    static constexpr std::chrono::milliseconds kMinimumRequest{500};
    static constexpr std::chrono::milliseconds kChangeLead{40};
    static constexpr std::chrono::milliseconds kCrossfade{10};
    // The rewritten part must be known to crossfade from it: this much of what was written is kept,
    // more than the whole queue at every rate up to 192 kHz.
    static constexpr std::size_t kHistoryFrames = 1u << 19;
    static constexpr std::chrono::milliseconds kRetryInterval =
        pulse::PulseConnection::kRetryInterval;

    // An empty address means the user's default server.
    explicit PulseSoundOutput(std::string serverAddress = {},
                              std::string applicationName = files::kProgramTitle);
    ~PulseSoundOutput() override;
    PulseSoundOutput(const PulseSoundOutput&) = delete;
    PulseSoundOutput& operator=(const PulseSoundOutput&) = delete;

    engine::OutputStart start(engine::AudioRenderer& renderer,
                              std::chrono::milliseconds timeout) override;
    void stop() override;
    void wake() override;

    // Called on libpulse's thread when the server goes away after start() succeeded, before the
    // output tries again; it must not call stop(). Set before start().
    void setLossHandler(std::function<void()> handler) { lossHandler_ = std::move(handler); }

    // The rate of the stream now playing, or 0 while none is.
    std::uint32_t sampleRate() const { return playingRate_.load(std::memory_order_relaxed); }
    // How many times a stream has become ready since start(): 1 at first, one more per
    // reconnection.
    unsigned connections() const { return connections_.load(std::memory_order_relaxed); }

  private:
    struct Callbacks;

    // The connection's news, with the main loop's lock held.
    void contextReady(pa_context* context) override;
    void connectionLost() override;
    void releaseContext() override;

    bool createStream(std::uint32_t rate, bool resting);
    void releaseStream();
    void followOutputRate();
    void countSilence(std::size_t bytes);
    void rest(unsigned wakeSerial);
    void resume();
    void requestRewrite();
    void rewriteQueue();
    void writeFrames(std::size_t frames, std::int64_t seekFrame);
    void keepHistory(const float* interleavedStereo, std::size_t frames);
    void crossfadeFromHistory(float* interleavedStereo, std::size_t frames, std::int64_t firstFrame,
                              std::int64_t fadeEnd) const;

    pulse::PulseConnection connection_;
    std::function<void()> lossHandler_;
    // Touched with the main loop's lock held.
    pa_stream* stream_ = nullptr;
    engine::AudioRenderer* renderer_ = nullptr;
    std::uint32_t streamRate_ = 0;
    std::uint32_t serverRate_ = 0;
    bool moved_ = false;     // to an output whose rate is not known yet
    bool reopening_ = false; // at another rate, while resting
    ReconnectionFade fadeIn_;
    std::size_t silentBytes_ = 0;    // written since the renderer last was not idle
    std::size_t restAfterBytes_ = 0; // more than the server can hold unplayed
    std::int64_t writtenFrames_ = 0; // the stream's write index
    std::int64_t historyFrom_ = 0;   // the first written frame still kept in history_
    std::vector<float> history_;     // written frames, interleaved, indexed modulo its length
    bool rewritePending_ = false;

    std::atomic<std::uint32_t> playingRate_{0};
    std::atomic<unsigned> connections_{0};
    // A wake() and the audio thread's decision to cork see each other through these two: the
    // stream is never left corked after a wake that came in while its last buffer was rendered.
    std::atomic<unsigned> wakeSerial_{0};
    std::atomic<bool> resting_{false};
};

} // namespace calmfield::sound
