#include "sound/DesktopSoundOutput.h"

#include "sound/OutputChoice.h"
#include "sound/PulseServerName.h"

#include <cstdlib>

namespace calmfield::sound {
namespace {

// A stream that takes over after a reconnection rises from silence over this long.

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

DesktopSoundOutput::DesktopSoundOutput(std::string pulseAddress, std::string applicationName)
    : pulseAddress_(std::move(pulseAddress)), applicationName_(std::move(applicationName)) {}

DesktopSoundOutput::~DesktopSoundOutput() {
    stop();
}

engine::OutputStart DesktopSoundOutput::start(engine::AudioRenderer& renderer,
                                              std::chrono::milliseconds timeout) {
    stop();
    renderer_ = &renderer;
    stopping_.store(false);
    connections_.store(0, std::memory_order_relaxed);
    fadeInAsked_.store(false);
    engine::OutputStart started = startChosen(timeout);
    // Without a server now, the follower tries again every second, so that one that comes later
    // plays the sound.
    if (!started.ok())
        news_.release();
    follower_ = std::thread([this] { followServer(); });
    return started;
}

void DesktopSoundOutput::stop() {
    if (follower_.joinable()) {
        stopping_.store(true);
        news_.release();
        follower_.join();
    }
    stopPlaying();
    while (news_.try_acquire()) {
    }
    renderer_ = nullptr;
}

void DesktopSoundOutput::wake() {
    const std::lock_guard lock(playingMutex_);
    if (playing_ != nullptr)
        playing_->wake();
}

std::uint32_t DesktopSoundOutput::sampleRate() const {
    const std::lock_guard lock(playingMutex_);
    if (pipeWire_)
        return pipeWire_->sampleRate();
    return pulse_ ? pulse_->sampleRate() : 0;
}

// Asks the PulseAudio server what it is, and starts the output that fits it; the PulseAudio one
// too when the PipeWire daemon does not answer.
engine::OutputStart DesktopSoundOutput::startChosen(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto serverName = pulseServerName(pulseAddress_, timeout);
    if (!serverName.ok())
        return files::failure(serverName.reason());
    const OutputChoice choice =
        chooseOutput(serverName.value(),
                     pulseAddress_.empty() ? environmentValue("PULSE_SERVER") : pulseAddress_,
                     environmentValue("XDG_RUNTIME_DIR"));
    const auto remaining = [&] {
        return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now()),
                        std::chrono::milliseconds(100));
    };
    const auto onLoss = [this] { news_.release(); };

    if (choice.native) {
        auto output =
            std::make_unique<PipeWireSoundOutput>(choice.pipeWireSocket, applicationName_);
        output->setLossHandler(onLoss);
        if (output->start(*this, remaining()).ok()) {
            const std::lock_guard lock(playingMutex_);
            pipeWire_ = std::move(output);
            playing_ = pipeWire_.get();
            native_.store(true, std::memory_order_relaxed);
            connections_.fetch_add(1, std::memory_order_relaxed);
            return files::Done{};
        }
    }
    auto output = std::make_unique<PulseSoundOutput>(pulseAddress_, applicationName_);
    output->setLossHandler(onLoss);
    if (auto started = output->start(*this, remaining()); !started.ok())
        return started;
    const std::lock_guard lock(playingMutex_);
    pulse_ = std::move(output);
    playing_ = pulse_.get();
    connections_.fetch_add(1, std::memory_order_relaxed);
    return files::Done{};
}

void DesktopSoundOutput::stopPlaying() {
    std::unique_ptr<PulseSoundOutput> pulse;
    std::unique_ptr<PipeWireSoundOutput> pipeWire;
    {
        const std::lock_guard lock(playingMutex_);
        pulse = std::move(pulse_);
        pipeWire = std::move(pipeWire_);
        playing_ = nullptr;
        native_.store(false, std::memory_order_relaxed);
    }
    // Their loops end here, outside the lock.
}

// The follower's thread sleeps until the playing output loses its server, then chooses again
// every kRetryInterval until a server answers.
void DesktopSoundOutput::followServer() {
    while (true) {
        news_.acquire();
        if (stopping_.load())
            return;
        stopPlaying();
        while (news_.try_acquire()) {
        }
        fadeInAsked_.store(true);
        while (!stopping_.load() && !startChosen(kReconnectionTimeout).ok())
            news_.try_acquire_for(kRetryInterval);
        if (stopping_.load())
            return;
    }
}

void DesktopSoundOutput::render(float* interleavedStereo, std::size_t frames,
                                std::uint32_t sampleRate) noexcept {
    renderer_->render(interleavedStereo, frames, sampleRate);
    if (fadeInAsked_.exchange(false))
        fadeIn_.begin(sampleRate);
    fadeIn_.apply(interleavedStereo, frames);
}

void DesktopSoundOutput::rewind(std::size_t frames) noexcept {
    renderer_->rewind(frames);
}

bool DesktopSoundOutput::idle() const noexcept {
    return renderer_->idle();
}

} // namespace calmfield::sound
