#pragma once

#include "desktop/MediaControlsTarget.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace calmfield::desktop {

// Offers the program to the desktop's media controls, media keys and scripts on the session bus
// (MPRIS): they see the player's state and play, pause, raise or end it.
class MprisService : public QObject {
    Q_OBJECT

  public:
    static constexpr char kServiceName[] = "org.mpris.MediaPlayer2.calmfield";

    // `desktopEntry` is the application id of the program's menu entry.
    MprisService(MediaControlsTarget& player, QString desktopEntry, QObject* parent = nullptr);
    // Gives the name back to the bus.
    ~MprisService() override;
    MprisService(const MprisService&) = delete;
    MprisService& operator=(const MprisService&) = delete;

    // Serves both MPRIS interfaces at /org/mpris/MediaPlayer2 on `bus` and takes the name; false
    // when the bus cannot be reached or the name is taken (error() says why). Not called again
    // once it has succeeded.
    bool registerOn(QDBusConnection bus);
    QString error() const { return error_; }

    // The shell calls this whenever the player's state may have changed; the service announces,
    // with org.freedesktop.DBus.Properties.PropertiesChanged, what did change.
    void stateChanged();

  private:
    MediaControlsTarget& player_;
    std::optional<QDBusConnection> bus_;
    MediaControlsTarget::State announced_;
    QString error_;
};

} // namespace calmfield::desktop
