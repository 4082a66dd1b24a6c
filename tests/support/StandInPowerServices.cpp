#include "tests/support/StandInPowerServices.h"

#include <QDBusMessage>
#include <QTimer>

#include <unistd.h>

namespace calmfield::testsupport {
namespace {

bool serve(QDBusConnection& bus, const QString& path, QObject* object, const QString& name) {
    return bus.registerObject(path, object,
                              QDBusConnection::ExportAllSlots |
                                  QDBusConnection::ExportAllProperties) &&
           bus.registerService(name);
}

} // namespace

bool StandInPowerManager::serveOn(QDBusConnection bus) {
    return serve(bus, QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"), this,
                 QStringLiteral("org.freedesktop.PowerManagement"));
}

uint StandInPowerManager::Inhibit(const QString& application, const QString& reason) {
    ++asked;
    held_[next_] = application + QStringLiteral(": ") + reason;
    return next_++;
}

void StandInPowerManager::UnInhibit(uint cookie) {
    if (held_.erase(cookie) == 0)
        ++strangeCookies;
}

bool StandInPortal::serveOn(QDBusConnection bus) {
    bus_ = bus;
    return serve(bus, QStringLiteral("/org/freedesktop/portal/desktop"), this,
                 QStringLiteral("org.freedesktop.portal.Desktop"));
}

QDBusObjectPath StandInPortal::Inhibit(const QString&, uint flags, const QVariantMap& options) {
    flagsAsked.push_back(flags);
    lastReason = options.value(QStringLiteral("reason")).toString();
    const QString caller = message().service().mid(1).replace(u'.', u'_');
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                             .arg(caller, options.value(QStringLiteral("handle_token")).toString());
    auto* request = new StandInPortalRequest(*this);
    request->setParent(this);
    bus_.registerObject(path, request, QDBusConnection::ExportAllSlots);
    paths_[request] = path;
    if (answer)
        QTimer::singleShot(0, request, [this, request, code = *answer] { respond(request, code); });
    return QDBusObjectPath(path);
}

// A refused request is gone at once; a granted one holds until closed.
void StandInPortal::respond(StandInPortalRequest* request, uint code) {
    const auto found = paths_.find(request);
    if (found == paths_.end())
        return; // closed before its answer
    const QString path = found->second;
    QDBusMessage signal = QDBusMessage::createSignal(
        path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    signal << code << QVariantMap();
    bus_.send(signal);
    if (code == 0)
        granted_[request] = path;
    else
        close(request);
}

void StandInPortal::close(StandInPortalRequest* request) {
    const auto found = paths_.find(request);
    if (found == paths_.end())
        return;
    bus_.unregisterObject(found->second);
    paths_.erase(found);
    granted_.erase(request);
    request->deleteLater();
    emit closed();
}

void StandInPortalRequest::Close() {
    portal_.close(this);
}

bool StandInLogin::serveOn(QDBusConnection bus) {
    bus_ = bus;
    return serve(bus, QStringLiteral("/org/freedesktop/login1"), this,
                 QStringLiteral("org.freedesktop.login1"));
}

QDBusUnixFileDescriptor StandInLogin::Inhibit(const QString& what, const QString&, const QString&,
                                              const QString& mode) {
    lastWhat = what;
    lastMode = mode;
    int ends[2];
    if (::pipe(ends) != 0)
        return {};
    const QDBusUnixFileDescriptor callersEnd(ends[1]); // a copy of its own
    ::close(ends[1]);
    const int ours = ends[0];
    auto notifier = std::make_unique<QSocketNotifier>(ours, QSocketNotifier::Read);
    // Readable once every copy of the caller's end has closed.
    connect(notifier.get(), &QSocketNotifier::activated, this, [this, ours] {
        char byte;
        if (::read(ours, &byte, 1) > 0)
            return;
        held_.at(ours)->setEnabled(false);
        held_.at(ours).release()->deleteLater();
        held_.erase(ours);
        ::close(ours);
        emit released();
    });
    held_[ours] = std::move(notifier);
    return callersEnd;
}

void StandInLogin::prepareForSleep(bool sleeping) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    signal << sleeping;
    bus_.send(signal);
}

} // namespace calmfield::testsupport
