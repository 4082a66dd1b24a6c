#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

class QDBusPendingCallWatcher;

namespace calmfield::desktop {

class PortalInhibitRequest;

// Asks the desktop, over the session bus, to keep the computer from suspending while idle: the
// power manager while its name has an owner, the desktop portal otherwise, and only what they
// answer is believed. It follows the power manager as it goes and comes back, moving the request
// without a gap where it can. It never asks logind, so that a suspend the user asks for still
// happens. Every call is asynchronous; nothing waits for the bus.
class IdleInhibitor : public QObject {
    Q_OBJECT

  public:
    IdleInhibitor(QDBusConnection bus, QString application, QString reason,
                  QObject* parent = nullptr);
    // Withdraws what is held.
    ~IdleInhibitor() override;

    // Keeps the computer awake until release(), asking whoever is there.
    void hold();
    // Withdraws at once, or as soon as a pending answer comes.
    void release();
    // Finds out whether the power manager or the portal is there to be asked, asking nothing.
    void check();
    // Whether the desktop refused to hold off suspending and nothing else holds it.
    bool refused() const { return refused_; }

  signals:
    // The answer to check(): whether either service answered.
    void checked(bool answered);
    void refusalChanged(bool refused);

  private:
    void powerManagerIs(const QString& owner);
    void update();
    void askPowerManager();
    void withdrawFromPowerManager();
    void askPortal();
    void portalAnswered(bool granted);
    void closePortal();
    void setRefused(bool refused);

    QDBusConnection bus_;
    QString application_;
    QString reason_;
    QDBusServiceWatcher powerManagerWatch_;
    bool wanted_ = false;
    bool refused_ = false;

    // The power manager's unique name, empty while none runs; unknown until the bus first says.
    std::optional<QString> powerManager_;
    // Counts the power managers asked, so that an answer from one that has gone is dropped.
    int powerManagerAsks_ = 0;
    bool askingPowerManager_ = false;
    bool powerManagerFailed_ = false;
    std::optional<std::uint32_t> cookie_;

    PortalInhibitRequest* portalRequest_ = nullptr;
    // Asked and not granted: asked again at the next hold, or once the power manager changes.
    bool portalTried_ = false;
};

} // namespace calmfield::desktop
