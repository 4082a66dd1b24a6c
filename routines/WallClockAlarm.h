#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>
#include <optional>

#include <time.h>

namespace calmfield::routines {

// Makes a timer descriptor on a clock, or gives none when this process may not: the usual
// timerfd_create, or a test's own.
using TimerMaker = std::function<int(clockid_t clock)>;
int makeTimer(clockid_t clock);

// One alarm on the real-time clock, armed for a moment of the wall clock: it rings at that moment
// however the clock is set meanwhile, and tells when the clock is set, so that the moment can be
// worked out anew. Where the process may, a second timer on the clock that wakes a suspended
// computer is armed for the same moment. Nothing runs while it waits.
class WallClockAlarm : public QObject {
    Q_OBJECT

  public:
    explicit WallClockAlarm(TimerMaker makeTimer = routines::makeTimer, QObject* parent = nullptr);
    ~WallClockAlarm() override;

    // Rings at `moment`, in seconds since the epoch; replaces any earlier arming.
    void armAt(qint64 moment);
    void disarm();
    // Whether the computer is woken from suspend for the moment armed.
    bool wakesComputer() const { return wakeTimer_ >= 0; }

  signals:
    void rang();
    // The clock was set: what was armed no longer holds.
    void clockSet();

  private:
    void take();

    int timer_ = -1;
    int wakeTimer_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QSocketNotifier> wakeNotifier_;
};

} // namespace calmfield::routines
