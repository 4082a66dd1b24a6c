#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

namespace calmfield::desktop {

// A delay inhibitor for sleep from logind on the system bus: while one is held, logind tells the
// program that the computer is about to sleep and waits for it, a short while at most, before
// sleeping. It never blocks sleep. Every call is asynchronous; without logind nothing happens and
// nothing is said.
class SuspendDelay : public QObject {
    Q_OBJECT

  public:
    explicit SuspendDelay(QDBusConnection systemBus, QObject* parent = nullptr);

    // Takes a delay inhibitor, unless one is held or asked for.
    void take();
    // Lets logind go on: the inhibitor is closed at once, or as soon as it comes.
    void release();
    bool held() const { return lock_.isValid(); }

  signals:
    // The computer is about to sleep (true), or has woken or not slept after all (false).
    void suspendComing(bool sleeping);

  private slots:
    void prepareForSleep(bool sleeping);

  private:
    QDBusConnection bus_;
    QDBusUnixFileDescriptor lock_;
    bool wanted_ = false;
    bool asking_ = false;
};

} // namespace calmfield::desktop
