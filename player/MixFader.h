#pragma once

#include "engine/MasterGain.h"
#include "player/SleepTimer.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <optional>

namespace calmfield::player {

// Drives the gain over the mix for the pause, the sleep timer's fade and the rise from silence,
// each on its own part of it (see engine::MasterGain), so that they keep working together in any
// order. A pause silences the mix wherever the fade stands; play brings it back to where the fade
// stands by then, and the fade goes on to end with the timer. The startup mix, and the sound after
// the computer wakes, rise gently from silence, to no more than the fade allows at each moment.
class MixFader : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kPauseFade{500};
    // How long the sound takes to come back when the sleep fade is called off.
    static constexpr std::chrono::milliseconds kComeBack{2000};
    // How long the sound takes to rise from silence when it begins of itself: the startup mix,
    // and the sound after the computer wakes.
    static constexpr std::chrono::milliseconds kGentleStart{2000};
    // How quickly the sound falls silent before the computer sleeps.
    static constexpr std::chrono::milliseconds kFallAsleep{200};

    using RampMix = std::function<void(engine::MasterGain::Part, const engine::MasterGain::Ramp&)>;

    MixFader(RampMix rampMix, const SleepTimer& sleepTimer, QObject* parent = nullptr);

    bool paused() const { return paused_; }
    // Each changes nothing when the mix is already paused, or already playing.
    void pause();
    void play();
    // The sound rises from silence over kGentleStart, never above where the sleep fade stands if
    // one runs; during a pause it stays silent.
    void riseFromSilence();
    // The sound falls silent within kFallAsleep, pause or none, until it rises again.
    void silenceForSuspend();

  private:
    void sleepFadeBegan(std::chrono::milliseconds length);
    void sleepFadeCalledOff();
    // Sets the sleep fade to where the sleep timer's clock has it, from there to end with it.
    void takeUpSleepFade();

    RampMix rampMix_;
    const SleepTimer& sleepTimer_;
    std::optional<std::chrono::milliseconds> sleepFadeLength_;
    bool paused_ = false;
};

} // namespace calmfield::player
