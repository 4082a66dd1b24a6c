#include "desktop/MprisService.h"

#include "desktop/MprisAdaptors.h"

#include <QDBusError>
#include <QDBusMessage>

#include <utility>

namespace calmfield::desktop {

MprisService::MprisService(MediaControlsTarget& player, QString desktopEntry, QObject* parent)
    : QObject(parent), player_(player) {
    new MprisRootAdaptor(*this, player, std::move(desktopEntry));
    new MprisPlayerAdaptor(*this, player);
}

MprisService::~MprisService() {
    if (!bus_ || !bus_->isConnected())
        return;
    bus_->unregisterService(QString::fromLatin1(kServiceName));
    bus_->unregisterObject(QString::fromLatin1(kMprisObjectPath));
}

bool MprisService::registerOn(QDBusConnection bus) {
    const QString name = QString::fromLatin1(kServiceName);
    if (!bus.isConnected()) {
        error_ = tr("The session bus cannot be reached: %1").arg(bus.lastError().message());
        return false;
    }
    if (!bus.registerObject(QString::fromLatin1(kMprisObjectPath), this,
                            QDBusConnection::ExportAdaptors)) {
        error_ = tr("The media controls are already served on this bus connection.");
        return false;
    }
    if (!bus.registerService(name)) {
        bus.unregisterObject(QString::fromLatin1(kMprisObjectPath));
        error_ = tr("Another program already answers to the media controls as %1.").arg(name);
        return false;
    }
    bus_ = bus;
    announced_ = player_.state();
    error_.clear();
    return true;
}

void MprisService::stateChanged() {
    const MediaControlsTarget::State now = player_.state();
    QVariantMap changed;
    if (now.status != announced_.status)
        changed.insert(QStringLiteral("PlaybackStatus"), mprisPlaybackStatus(now.status));
    if (now.title != announced_.title || now.artUrl != announced_.artUrl ||
        now.track != announced_.track)
        changed.insert(QStringLiteral("Metadata"), mprisMetadata(now));
    if (now.canStep != announced_.canStep) {
        changed.insert(QStringLiteral("CanGoNext"), now.canStep);
        changed.insert(QStringLiteral("CanGoPrevious"), now.canStep);
    }
    announced_ = now;
    if (changed.isEmpty() || !bus_)
        return;

    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kMprisObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kMprisPlayerInterface) << changed << QStringList();
    bus_->send(signal);
}

} // namespace calmfield::desktop
