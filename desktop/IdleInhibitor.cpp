#include "desktop/IdleInhibitor.h"

#include "desktop/PortalInhibitRequest.h"
#include "desktop/PowerServices.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace calmfield::desktop {
namespace {

const QString kBusService = QStringLiteral("org.freedesktop.DBus");

} // namespace

IdleInhibitor::IdleInhibitor(QDBusConnection bus, QString application, QString reason,
                             QObject* parent)
    : QObject(parent), bus_(std::move(bus)), application_(std::move(application)),
      reason_(std::move(reason)),
      powerManagerWatch_(kPowerManager, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(
        &powerManagerWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString&, const QString&, const QString& owner) { powerManagerIs(owner); });
    QDBusMessage message =
        QDBusMessage::createMethodCall(kBusService, QStringLiteral("/org/freedesktop/DBus"),
                                       kBusService, QStringLiteral("GetNameOwner"));
    message << kPowerManager;
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(message, static_cast<int>(kPowerServiceTimeout.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                const QDBusPendingReply<QString> owner = *answer;
                powerManagerIs(owner.isError() ? QString() : owner.value());
            });
}

IdleInhibitor::~IdleInhibitor() {
    wanted_ = false;
    update();
}

void IdleInhibitor::hold() {
    wanted_ = true;
    update();
}

void IdleInhibitor::release() {
    wanted_ = false;
    update();
}

void IdleInhibitor::powerManagerIs(const QString& owner) {
    if (powerManager_ == owner)
        return;
    // A cookie belongs to the owner that gave it: it is never sent to another.
    powerManager_ = owner;
    cookie_.reset();
    ++powerManagerAsks_;
    askingPowerManager_ = false;
    powerManagerFailed_ = false;
    portalTried_ = false;
    update();
}

// Brings what is asked for in line with what is wanted and who is there to ask.
void IdleInhibitor::update() {
    if (!wanted_) {
        withdrawFromPowerManager();
        closePortal();
        powerManagerFailed_ = false;
        portalTried_ = false;
        return;
    }
    if (!powerManager_)
        return;
    if (!powerManager_->isEmpty() && !powerManagerFailed_) {
        // The portal's request, if any, holds until the power manager has granted.
        if (cookie_)
            closePortal();
        else if (!askingPowerManager_)
            askPowerManager();
        return;
    }
    if (portalRequest_ == nullptr && !portalTried_)
        askPortal();
}

// Asked by its unique name, so that the cookie is known to be that owner's.
void IdleInhibitor::askPowerManager() {
    askingPowerManager_ = true;
    QDBusMessage message = QDBusMessage::createMethodCall(
        *powerManager_, kPowerManagerObject, kPowerManagerInhibit, QStringLiteral("Inhibit"));
    message << application_ << reason_;
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(message, static_cast<int>(kPowerServiceTimeout.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, ask = powerManagerAsks_](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                if (ask != powerManagerAsks_)
                    return; // that power manager has gone
                askingPowerManager_ = false;
                const QDBusPendingReply<std::uint32_t> cookie = *answer;
                if (cookie.isError()) {
                    powerManagerFailed_ = true;
                } else {
                    cookie_ = cookie.value();
                    setRefused(false);
                }
                update();
            });
}

// Sent without waiting for an answer, so that it goes out even as the program ends.
void IdleInhibitor::withdrawFromPowerManager() {
    if (!cookie_)
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(
        *powerManager_, kPowerManagerObject, kPowerManagerInhibit, QStringLiteral("UnInhibit"));
    message << *cookie_;
    bus_.send(message);
    cookie_.reset();
}

void IdleInhibitor::askPortal() {
    static int requests = 0;
    portalRequest_ = new PortalInhibitRequest(
        bus_, reason_, QStringLiteral("calmfield_keep_awake_%1").arg(++requests), this);
    connect(portalRequest_, &PortalInhibitRequest::answered, this, &IdleInhibitor::portalAnswered);
    connect(portalRequest_, &PortalInhibitRequest::unanswered, this, [this] {
        closePortal();
        portalTried_ = true;
    });
}

void IdleInhibitor::portalAnswered(bool granted) {
    if (granted) {
        setRefused(false);
        return;
    }
    closePortal();
    portalTried_ = true;
    if (!cookie_)
        setRefused(true);
}

void IdleInhibitor::closePortal() {
    if (portalRequest_ == nullptr)
        return;
    portalRequest_->close();
    portalRequest_->deleteLater();
    portalRequest_ = nullptr;
}

void IdleInhibitor::setRefused(bool refused) {
    if (refused == refused_)
        return;
    refused_ = refused;
    emit refusalChanged(refused);
}

void IdleInhibitor::check() {
    if (powerManager_ && !powerManager_->isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this] { emit checked(true); }, Qt::QueuedConnection);
        return;
    }
    // The portal may be started on demand: reading its version starts it.
    QDBusMessage message = QDBusMessage::createMethodCall(
        kPortal, kPortalObject, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    message << kPortalInhibit << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(message, static_cast<int>(kPowerServiceTimeout.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                emit checked(!answer->isError());
            });
}

} // namespace calmfield::desktop
