#include "app/Buses.h"

#include <QFile>
#include <QObject>
#include <QThread>

namespace calmfield::app {
namespace {

bool sessionBusRuns() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeFolder.isEmpty() && QFile::exists(runtimeFolder + QStringLiteral("/bus"));
}

bool systemBusRuns() {
    return !qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS") ||
           QFile::exists(QStringLiteral("/run/dbus/system_bus_socket"));
}

} // namespace

std::optional<QDBusConnection> runningSessionBus() {
    if (!sessionBusRuns())
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    return bus;
}

// Connecting waits for the bus's answer; the thread does the waiting, and once it has the
// connection, taking it again here waits for nothing.
void reachSystemBus(QObject& context, std::function<void(const QDBusConnection&)> reached) {
    if (!systemBusRuns())
        return;
    QThread* connecting = QThread::create([] { QDBusConnection::systemBus(); });
    QObject::connect(connecting, &QThread::finished, &context,
                     [connecting, reached = std::move(reached)] {
                         connecting->deleteLater();
                         const QDBusConnection bus = QDBusConnection::systemBus();
                         if (bus.isConnected())
                             reached(bus);
                     });
    connecting->start();
}

} // namespace calmfield::app
