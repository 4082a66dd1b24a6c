#include "routines/WallClockAlarm.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace calmfield::routines {
namespace {

itimerspec at(qint64 moment) {
    itimerspec when{};
    when.it_value.tv_sec = static_cast<time_t>(moment);
    return when;
}

} // namespace

int makeTimer(clockid_t clock) {
    return ::timerfd_create(clock, TFD_NONBLOCK | TFD_CLOEXEC);
}

WallClockAlarm::WallClockAlarm(TimerMaker makeTimer, QObject* parent) : QObject(parent) {
    timer_ = makeTimer(CLOCK_REALTIME);
    wakeTimer_ = makeTimer(CLOCK_REALTIME_ALARM);
    if (timer_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(timer_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &WallClockAlarm::take);
    }
    if (wakeTimer_ >= 0) {
        // Its ringing only wakes the computer; the first timer rings for the program.
        wakeNotifier_ = std::make_unique<QSocketNotifier>(wakeTimer_, QSocketNotifier::Read);
        connect(wakeNotifier_.get(), &QSocketNotifier::activated, this, [this] {
            std::uint64_t count = 0;
            (void)!::read(wakeTimer_, &count, sizeof count);
        });
    }
}

WallClockAlarm::~WallClockAlarm() {
    notifier_.reset();
    wakeNotifier_.reset();
    for (const int timer : {timer_, wakeTimer_})
        if (timer >= 0)
            ::close(timer);
}

void WallClockAlarm::armAt(qint64 moment) {
    const itimerspec when = at(moment);
    if (timer_ >= 0)
        ::timerfd_settime(timer_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr);
    if (wakeTimer_ >= 0)
        ::timerfd_settime(wakeTimer_, TFD_TIMER_ABSTIME, &when, nullptr);
}

void WallClockAlarm::disarm() {
    const itimerspec never{};
    for (const int timer : {timer_, wakeTimer_})
        if (timer >= 0)
            ::timerfd_settime(timer, 0, &never, nullptr);
}

void WallClockAlarm::take() {
    std::uint64_t count = 0;
    if (::read(timer_, &count, sizeof count) < 0) {
        if (errno == ECANCELED)
            emit clockSet();
        return;
    }
    emit rang();
}

} // namespace calmfield::routines
