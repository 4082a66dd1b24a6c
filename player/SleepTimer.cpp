#include "player/SleepTimer.h"

#include <time.h>

#include <algorithm>

namespace calmfield::player {

std::chrono::milliseconds timeSinceBoot() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  std::chrono::nanoseconds(now.tv_nsec));
}

SleepTimer::SleepTimer(SleepClock clock, QObject* parent)
    : QObject(parent), clock_(std::move(clock)) {
    tick_.setSingleShot(true);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, &SleepTimer::check);
}

void SleepTimer::start(std::chrono::milliseconds duration) {
    callOffFade();
    end_ = clock_() + duration;
    emit started(duration);
    check();
}

void SleepTimer::cancel() {
    callOffFade();
    end_.reset();
    tick_.stop();
    emit ticked();
}

std::chrono::milliseconds SleepTimer::remaining() const {
    if (!end_)
        return std::chrono::milliseconds{0};
    return std::max(*end_ - clock_(), std::chrono::milliseconds{0});
}

void SleepTimer::check() {
    if (!end_)
        return;
    const std::chrono::milliseconds left = *end_ - clock_();
    if (left <= std::chrono::milliseconds{0}) {
        end_.reset();
        fading_ = false;
        tick_.stop();
        emit ticked();
        emit ended();
        return;
    }
    if (!fading_ && left <= kFade) {
        fading_ = true;
        emit fadeBegan(left);
    }
    emit ticked();
    // The next tick comes a second on, or sooner when the fade or the end comes sooner.
    const std::chrono::milliseconds untilNext = fading_ ? left : left - kFade;
    tick_.start(std::min(kTick, untilNext));
}

void SleepTimer::callOffFade() {
    if (fading_) {
        fading_ = false;
        emit fadeCalledOff();
    }
}

} // namespace calmfield::player
