#pragma once

#include "player/MixPlayer.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace calmfield::shell {

// The program's icon in the desktop's tray. Its tooltip tells the player's state; a click or a
// double click on it, or "Show Calmfield" in its popup menu, asks for the window. The popup menu
// then offers the "Menu" menu's own items.
class TrayIcon : public QSystemTrayIcon {
    Q_OBJECT

  public:
    TrayIcon(const player::MixPlayer& player, const QMenu& mainMenu, QObject* parent = nullptr);

    // Brings the tooltip up to date with the player.
    void showToolTip();

  signals:
    void showRequested();

  private:
    void activatedBy(ActivationReason reason);

    const player::MixPlayer& player_;
    QMenu popup_;
};

} // namespace calmfield::shell
