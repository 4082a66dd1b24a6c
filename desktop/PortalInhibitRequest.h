#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QDBusPendingCallWatcher;

namespace calmfield::desktop {

// One request to the desktop portal to hold off suspending. The portal answers through a signal
// on a request object named after a token of the request's own; the program listens there before
// it asks, so that no answer is lost, and believes only that answer. Closing it withdraws the
// request, whether it was granted or is still waiting for the desktop.
class PortalInhibitRequest : public QObject {
    Q_OBJECT

  public:
    // Asks at once; `token` must be unique on this connection and made of [A-Za-z0-9_].
    PortalInhibitRequest(QDBusConnection bus, const QString& reason, const QString& token,
                         QObject* parent = nullptr);

    // Withdraws the request and hears no more of it. Sent without waiting, so that it goes out even
    // as the program ends.
    void close();

  signals:
    // The desktop granted the request (true) or refused it (false).
    void answered(bool granted);
    // The portal could not be asked: it is not there or failed to answer.
    void unanswered();

  private slots:
    void response(uint code, const QVariantMap& results);

  private:
    void listenAt(const QString& path);
    void replied(QDBusPendingCallWatcher* watcher);

    QDBusConnection bus_;
    QString handle_;
    bool closed_ = false;
};

} // namespace calmfield::desktop
