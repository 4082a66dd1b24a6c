#include "session/SystemSuspend.h"

#include "desktop/SuspendDelay.h"
#include "session/NoiseSession.h"

namespace calmfield::session {

SystemSuspend::SystemSuspend(NoiseSession& session, QObject* parent)
    : QObject(parent), session_(session), playing_(session) {
    letSleep_.setSingleShot(true);
    letSleep_.setInterval(kLetSleep);
    connect(&letSleep_, &QTimer::timeout, this, [this] { delay_->release(); });
    connect(&playing_, &PlayingWatch::changed, this, &SystemSuspend::recheck);
}

void SystemSuspend::listenOn(const QDBusConnection& systemBus) {
    delay_ = std::make_unique<desktop::SuspendDelay>(systemBus);
    connect(delay_.get(), &desktop::SuspendDelay::suspendComing, this,
            &SystemSuspend::suspendComing);
    recheck();
}

SystemSuspend::~SystemSuspend() = default;

// Going to sleep, the inhibitor is let go once the sound is silent, and not taken again until
// the computer wakes.
void SystemSuspend::recheck() {
    if (!delay_ || suspended_)
        return;
    if (playing_.plays())
        delay_->take();
    else
        delay_->release();
}

void SystemSuspend::suspendComing(bool sleeping) {
    if (sleeping == suspended_ || session_.hasEnded())
        return;
    suspended_ = sleeping;
    if (sleeping) {
        // Only a sound that plays falls and rises again: a rise left waiting in an idle output
        // would slow down the next colour ticked by hand.
        silenced_ = playing_.plays();
        if (silenced_)
            session_.player().silenceForSuspend();
        letSleep_.start();
        return;
    }
    letSleep_.stop();
    if (silenced_)
        session_.player().riseAfterResume();
    silenced_ = false;
    recheck();
    emit woke();
}

} // namespace calmfield::session
