#pragma once

#include <QDBusConnection>

#include <functional>
#include <optional>

class QObject;

namespace calmfield::app {

// The session bus where one already runs, as the media controls reach it. Asking for one where
// none runs could make the D-Bus library start one of its own, and hold up the start.
std::optional<QDBusConnection> runningSessionBus();

// Hands `reached` the system bus once it is reached, which happens off this thread so that the
// start does not wait for it; without a system bus nothing happens. `context` owns the wait.
void reachSystemBus(QObject& context, std::function<void(const QDBusConnection&)> reached);

} // namespace calmfield::app
