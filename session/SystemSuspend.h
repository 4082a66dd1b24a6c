#pragma once

#include "session/PlayingWatch.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>

class QDBusConnection;

namespace calmfield::desktop {
class SuspendDelay;
}

namespace calmfield::session {

class NoiseSession;

// While the noise plays, the computer waits for it before sleeping: the sound falls silent, the
// server's queue is rewritten with that silence, and only then may the computer sleep. On waking
// the sound rises gently from silence, as at start-up.
class SystemSuspend : public QObject {
    Q_OBJECT

  public:
    // How long after the sound begins to fall the computer is let sleep: the fall, and time for
    // the server to play the rewritten queue's first part.
    static constexpr std::chrono::milliseconds kLetSleep{500};

    explicit SystemSuspend(NoiseSession& session, QObject* parent = nullptr);
    ~SystemSuspend() override;

    // Hears from logind on `systemBus` from now on.
    void listenOn(const QDBusConnection& systemBus);

  signals:
    // The computer has woken from sleep.
    void woke();

  private:
    void recheck();
    void suspendComing(bool sleeping);

    NoiseSession& session_;
    PlayingWatch playing_;
    std::unique_ptr<desktop::SuspendDelay> delay_;
    QTimer letSleep_;
    bool suspended_ = false;
    bool silenced_ = false;
};

} // namespace calmfield::session
