#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QSocketNotifier>
#include <QVariantMap>

#include <map>
#include <memory>
#include <optional>
#include <vector>

// Stand-ins for the services that keep a computer awake or tell of its sleep, served on a private
// bus. Each counts the requests it holds, withdrawn only as the program withdraws them.
namespace calmfield::testsupport {

// The desktop's power manager, as Xfce's and KDE Plasma's serve it.
class StandInPowerManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.PowerManagement.Inhibit")

  public:
    // Cookies count up from `firstCookie`, so that one from another power manager shows.
    explicit StandInPowerManager(uint firstCookie = 1) : next_(firstCookie) {}
    // Serves under the power manager's name; false when it cannot.
    bool serveOn(QDBusConnection bus);
    int held() const { return static_cast<int>(held_.size()); }
    int asked = 0;
    // UnInhibit calls with a cookie this one never gave.
    int strangeCookies = 0;

  public slots:
    uint Inhibit(const QString& application, const QString& reason);
    void UnInhibit(uint cookie);

  private:
    std::map<uint, QString> held_;
    uint next_;
};

class StandInPortal;

// A request the portal holds, closed through its own object.
class StandInPortalRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

  public:
    explicit StandInPortalRequest(StandInPortal& portal) : portal_(portal) {}

  public slots:
    void Close();

  private:
    StandInPortal& portal_;
};

// The desktop portal's inhibit interface. It answers each request through the request's
// Response signal, after returning its handle, as the portal does.
class StandInPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
    Q_PROPERTY(uint version READ version)

  public:
    bool serveOn(QDBusConnection bus);
    // Requests granted and not closed.
    int held() const { return static_cast<int>(granted_.size()); }
    // Requests not closed, whether answered or not.
    int open() const { return static_cast<int>(paths_.size()); }
    uint version() const { return 3; }
    // The Response code given to the requests to come (2: refused), or none to leave them pending.
    std::optional<uint> answer = 0;
    std::vector<uint> flagsAsked;
    QString lastReason;

  signals:
    void closed();

  public slots:
    QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options);

  private:
    friend class StandInPortalRequest;
    void respond(StandInPortalRequest* request, uint code);
    void close(StandInPortalRequest* request);

    QDBusConnection bus_{QString()};
    std::map<StandInPortalRequest*, QString> paths_;
    std::map<StandInPortalRequest*, QString> granted_;
};

// logind's manager on a private system bus: inhibitors as the read ends of pipes whose write
// ends the caller holds, and the signal before and after sleep.
class StandInLogin : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

  public:
    bool serveOn(QDBusConnection bus);
    // Inhibitors whose callers have not yet closed them.
    int held() const { return static_cast<int>(held_.size()); }
    QString lastWhat;
    QString lastMode;
    // Sends PrepareForSleep(sleeping), as logind does.
    void prepareForSleep(bool sleeping);

  signals:
    void released();

  public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode);

  private:
    QDBusConnection bus_{QString()};
    std::map<int, std::unique_ptr<QSocketNotifier>> held_;
};

} // namespace calmfield::testsupport
