#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

namespace calmfield::player {

// Time that goes on while the computer is suspended, since some fixed moment.
using SleepClock = std::function<std::chrono::milliseconds()>;
// The time since the computer started, suspended time included.
std::chrono::milliseconds timeSinceBoot();

// Counts down to the end of the program, fading the sound out over the last minute. It looks at
// its clock on a tick each second rather than trusting the tick alone, so that a computer woken
// from suspend finds the timer where it truly stands: further into the fade, or over.
class SleepTimer : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kFade{60000};
    static constexpr std::chrono::milliseconds kTick{1000};

    explicit SleepTimer(SleepClock clock = timeSinceBoot, QObject* parent = nullptr);

    // Runs the timer for `duration` from now, replacing any that runs.
    void start(std::chrono::milliseconds duration);
    // Stops the timer, if one runs.
    void cancel();

    bool running() const { return end_.has_value(); }
    bool fading() const { return fading_; }
    // The time left, or zero when no timer runs.
    std::chrono::milliseconds remaining() const;

    // Reads the clock and begins the fade or ends when their time has come; each tick calls it.
    void check();

  signals:
    // A timer runs for `duration` from now, wherever it was started.
    void started(std::chrono::milliseconds duration);
    // The sound is to fall to silence over `length`, which ends with the timer.
    void fadeBegan(std::chrono::milliseconds length);
    // A fade that had begun is called off: the sound is to come back.
    void fadeCalledOff();
    // The time left has moved on, or the timer has started or stopped.
    void ticked();
    // The time is up.
    void ended();

  private:
    void callOffFade();

    SleepClock clock_;
    QTimer tick_;
    std::optional<std::chrono::milliseconds> end_;
    bool fading_ = false;
};

} // namespace calmfield::player
