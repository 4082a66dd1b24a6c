#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>

class QDBusPendingCallWatcher;
class QDBusMessage;

namespace calmfield::desktop {

// Asks the desktop, over the session bus, to keep the computer from suspending while idle: the
// power manager when its name has an owner, the desktop portal otherwise. It never asks logind,
// so that a suspend the user asks for still happens. Every call is asynchronous and answered
// within kTimeout; nothing waits for the bus.
class IdleInhibitor : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kTimeout{5000};

    IdleInhibitor(QDBusConnection bus, QString application, QString reason,
                  QObject* parent = nullptr);
    // Withdraws a request that is held.
    ~IdleInhibitor() override;

    // Asks, unless a request is held or under way.
    void hold();
    // Withdraws the request at once, or as soon as the answer to it comes.
    void release();
    // Finds out whether the power manager or the portal is there to be asked, asking nothing.
    void check();

  signals:
    // The answer to check(): whether either service answered.
    void checked(bool answered);

  private:
    enum class Holder : std::uint8_t { none, powerManager, portal };

    QDBusPendingCallWatcher* call(const QDBusMessage& message);
    // Whether the power manager's name has an owner, then `next` with the answer.
    template <typename Next> void askWhetherPowerManagerRuns(Next next);
    void askPowerManager();
    void askPortal();
    void granted(Holder holder, std::uint32_t cookie, const QDBusObjectPath& handle);
    void refused();
    void withdraw();

    QDBusConnection bus_;
    QString application_;
    QString reason_;
    bool wanted_ = false;
    bool asking_ = false;
    Holder holder_ = Holder::none;
    std::uint32_t cookie_ = 0;
    QDBusObjectPath handle_;
};

} // namespace calmfield::desktop
