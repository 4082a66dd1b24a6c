#include "desktop/IdleInhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QVariantMap>

namespace calmfield::desktop {
namespace {

const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kPowerManager = QStringLiteral("org.freedesktop.PowerManagement");
const QString kPowerManagerObject = QStringLiteral("/org/freedesktop/PowerManagement/Inhibit");
const QString kPowerManagerInterface = QStringLiteral("org.freedesktop.PowerManagement.Inhibit");
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalObject = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kPortalInterface = QStringLiteral("org.freedesktop.portal.Inhibit");
const QString kPortalRequest = QStringLiteral("org.freedesktop.portal.Request");
// The portal's flag for suspending.
constexpr std::uint32_t kPortalSuspend = 4;

} // namespace

IdleInhibitor::IdleInhibitor(QDBusConnection bus, QString application, QString reason,
                             QObject* parent)
    : QObject(parent), bus_(std::move(bus)), application_(std::move(application)),
      reason_(std::move(reason)) {}

IdleInhibitor::~IdleInhibitor() {
    wanted_ = false;
    withdraw();
}

QDBusPendingCallWatcher* IdleInhibitor::call(const QDBusMessage& message) {
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(message, static_cast<int>(kTimeout.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
    return watcher;
}

template <typename Next> void IdleInhibitor::askWhetherPowerManagerRuns(Next next) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kBusService, QStringLiteral("/org/freedesktop/DBus"),
                                       kBusService, QStringLiteral("NameHasOwner"));
    message << kPowerManager;
    connect(call(message), &QDBusPendingCallWatcher::finished, this,
            [next](QDBusPendingCallWatcher* watcher) {
                const QDBusPendingReply<bool> runs = *watcher;
                next(!runs.isError() && runs.value());
            });
}

void IdleInhibitor::hold() {
    wanted_ = true;
    if (asking_ || holder_ != Holder::none)
        return;
    asking_ = true;
    askWhetherPowerManagerRuns([this](bool runs) {
        if (runs)
            askPowerManager();
        else
            askPortal();
    });
}

void IdleInhibitor::askPowerManager() {
    QDBusMessage message = QDBusMessage::createMethodCall(
        kPowerManager, kPowerManagerObject, kPowerManagerInterface, QStringLiteral("Inhibit"));
    message << application_ << reason_;
    connect(call(message), &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* watcher) {
                const QDBusPendingReply<std::uint32_t> cookie = *watcher;
                if (cookie.isError())
                    askPortal();
                else
                    granted(Holder::powerManager, cookie.value(), {});
            });
}

void IdleInhibitor::askPortal() {
    QDBusMessage message = QDBusMessage::createMethodCall(kPortal, kPortalObject, kPortalInterface,
                                                          QStringLiteral("Inhibit"));
    const QVariantMap options{{QStringLiteral("reason"), reason_}};
    message << QString() << kPortalSuspend << options;
    connect(call(message), &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* watcher) {
                const QDBusPendingReply<QDBusObjectPath> handle = *watcher;
                if (handle.isError())
                    refused();
                else
                    granted(Holder::portal, 0, handle.value());
            });
}

void IdleInhibitor::granted(Holder holder, std::uint32_t cookie, const QDBusObjectPath& handle) {
    asking_ = false;
    holder_ = holder;
    cookie_ = cookie;
    handle_ = handle;
    if (!wanted_)
        withdraw();
}

// Asked again on the next hold(): a service may have come meanwhile.
void IdleInhibitor::refused() {
    asking_ = false;
}

void IdleInhibitor::release() {
    wanted_ = false;
    withdraw();
}

// Sent without waiting for an answer, so that it goes out even as the program ends.
void IdleInhibitor::withdraw() {
    if (holder_ == Holder::powerManager) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(kPowerManager, kPowerManagerObject,
                                           kPowerManagerInterface, QStringLiteral("UnInhibit"));
        message << cookie_;
        bus_.send(message);
    } else if (holder_ == Holder::portal) {
        bus_.send(QDBusMessage::createMethodCall(kPortal, handle_.path(), kPortalRequest,
                                                 QStringLiteral("Close")));
    }
    holder_ = Holder::none;
}

void IdleInhibitor::check() {
    askWhetherPowerManagerRuns([this](bool runs) {
        if (runs) {
            emit checked(true);
            return;
        }
        // The portal may be started on demand: reading its version starts it.
        QDBusMessage message = QDBusMessage::createMethodCall(
            kPortal, kPortalObject, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        message << kPortalInterface << QStringLiteral("version");
        connect(call(message), &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher* watcher) { emit checked(!watcher->isError()); });
    });
}

} // namespace calmfield::desktop
