#include "desktop/PortalInhibitRequest.h"

#include "desktop/PowerServices.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace calmfield::desktop {
namespace {

// The portal's flag for suspending; idle (8) is never asked, as it would keep the screen lit.
constexpr uint kSuspend = 4;
const QString kResponse = QStringLiteral("Response");

// Where the portal puts the request made with `token` by the connection named `sender`.
QString requestPath(QString sender, const QString& token) {
    sender.remove(0, 1).replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

} // namespace

PortalInhibitRequest::PortalInhibitRequest(QDBusConnection bus, const QString& reason,
                                           const QString& token, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    listenAt(requestPath(bus_.baseService(), token));
    QDBusMessage message = QDBusMessage::createMethodCall(kPortal, kPortalObject, kPortalInhibit,
                                                          QStringLiteral("Inhibit"));
    const QVariantMap options{{QStringLiteral("reason"), reason},
                              {QStringLiteral("handle_token"), token}};
    message << QString() << kSuspend << options;
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(message, static_cast<int>(kPowerServiceTimeout.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalInhibitRequest::replied);
}

void PortalInhibitRequest::close() {
    closed_ = true;
    disconnect(); // nobody hears of it any more
    bus_.disconnect(QString(), handle_, kPortalRequest, kResponse, this,
                    SLOT(response(uint, QVariantMap)));
    bus_.send(
        QDBusMessage::createMethodCall(kPortal, handle_, kPortalRequest, QStringLiteral("Close")));
}

// From any sender: the path holds this connection's name and the token, and the portal may be
// started by the call itself.
void PortalInhibitRequest::listenAt(const QString& path) {
    handle_ = path;
    bus_.connect(QString(), handle_, kPortalRequest, kResponse, this,
                 SLOT(response(uint, QVariantMap)));
}

void PortalInhibitRequest::replied(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> handle = *watcher;
    if (handle.isError()) {
        emit unanswered();
        return;
    }
    // A portal older than the token names the request its own way.
    if (handle.value().path() == handle_)
        return;
    bus_.disconnect(QString(), handle_, kPortalRequest, kResponse, this,
                    SLOT(response(uint, QVariantMap)));
    listenAt(handle.value().path());
    if (closed_)
        close();
}

void PortalInhibitRequest::response(uint code, const QVariantMap&) {
    emit answered(code == 0);
}

} // namespace calmfield::desktop
