#include "app/SleepAndWake.h"

#include "app/NoiseSession.h"
#include "platform/SleepDelay.h"

namespace calmfield::app {

SleepAndWake::SleepAndWake(NoiseSession& session, QObject* parent)
    : QObject(parent), session_(session), playing_(session) {
    letSleep_.setSingleShot(true);
    letSleep_.setInterval(kLetSleep);
    connect(&letSleep_, &QTimer::timeout, this, [this] { delay_->release(); });
    connect(&playing_, &NoisePlaying::changed, this, &SleepAndWake::recheck);
}

void SleepAndWake::listenOn(const QDBusConnection& systemBus) {
    delay_ = std::make_unique<platform::SleepDelay>(systemBus);
    connect(delay_.get(), &platform::SleepDelay::sleepComing, this, &SleepAndWake::sleepComing);
    recheck();
}

SleepAndWake::~SleepAndWake() = default;

// Going to sleep, the inhibitor is let go once the sound is silent, and not taken again until
// the computer wakes.
void SleepAndWake::recheck() {
    if (!delay_ || asleep_)
        return;
    if (playing_.plays())
        delay_->take();
    else
        delay_->release();
}

void SleepAndWake::sleepComing(bool sleeping) {
    if (sleeping == asleep_ || session_.hasEnded())
        return;
    asleep_ = sleeping;
    if (sleeping) {
        // Only a sound that plays falls and rises again: a rise left waiting in an idle output
        // would slow down the next colour ticked by hand.
        silenced_ = playing_.plays();
        if (silenced_)
            session_.player().fallAsleep();
        letSleep_.start();
        return;
    }
    letSleep_.stop();
    if (silenced_)
        session_.player().wakeUp();
    silenced_ = false;
    recheck();
}

} // namespace calmfield::app
