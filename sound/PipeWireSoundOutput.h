#pragma once

#include "engine/SoundOutput.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_stream;
struct spa_source;

namespace calmfield::sound {

// Plays through a PipeWire daemon's own stream API, in stereo float at the graph's rate, asking
// for cycles as long as the graph allows so that it wakes the graph as seldom as possible. The
// renderer is called on PipeWire's real-time data thread, once a cycle. While the renderer is idle
// the stream is made inactive, so that nothing in the graph wakes for silence. It does not follow
// the daemon when it goes away: it tells whoever set a loss handler, who starts it again.
class PipeWireSoundOutput final : public engine::SoundOutput {
  public:
    // What a cycle may last, in frames, where the daemon does not say.
    static constexpr std::uint32_t kDefaultLongestCycle = 2048;

    // `socketPath` is the daemon's socket, such as "$XDG_RUNTIME_DIR/pipewire-0".
    PipeWireSoundOutput(std::string socketPath, std::string applicationName);
    ~PipeWireSoundOutput() override;
    PipeWireSoundOutput(const PipeWireSoundOutput&) = delete;
    PipeWireSoundOutput& operator=(const PipeWireSoundOutput&) = delete;

    engine::OutputStart start(engine::AudioRenderer& renderer,
                              std::chrono::milliseconds timeout) override;
    void stop() override;
    void wake() override;

    // Called on the output's own thread when the daemon goes away after start() succeeded; it must
    // not call stop(). Set before start().
    void setLossHandler(std::function<void()> handler) { lossHandler_ = std::move(handler); }

    // The rate of the stream now playing, or 0 while none is.
    std::uint32_t sampleRate() const { return playingRate_.load(std::memory_order_relaxed); }

  private:
    struct Callbacks;

    bool connectStream();
    void lose();

    const std::string socketPath_;
    const std::string applicationName_;
    std::function<void()> lossHandler_;

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    spa_source* restEvent_ = nullptr;
    struct Listeners; // the hooks PipeWire links into its lists of listeners
    std::unique_ptr<Listeners> listeners_;

    // Touched on the output's thread with the loop's lock held.
    engine::AudioRenderer* renderer_ = nullptr;
    std::uint32_t graphRate_ = 0;
    std::uint32_t longestCycle_ = kDefaultLongestCycle;
    bool coreInfoSeen_ = false;
    bool established_ = false;
    bool failed_ = false;
    bool stopping_ = false;
    bool active_ = false;

    // On the data thread only.
    std::uint64_t silentFrames_ = 0;

    std::atomic<std::uint32_t> playingRate_{0};
    // A wake() and the data thread's decision to rest see each other through these, as in the
    // PulseAudio output: the stream is never left inactive after a wake that came in while its
    // last cycle was rendered.
    std::atomic<unsigned> wakeSerial_{0};
    std::atomic<unsigned> restSerial_{0};
    std::atomic<bool> restAsked_{false};
};

} // namespace calmfield::sound
