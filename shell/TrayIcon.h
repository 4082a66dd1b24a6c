#pragma once

#include "player/MixPlayer.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include <functional>

namespace calmfield::shell {

// The program's icon in the desktop's tray. Its tooltip tells the player's state; a click or a
// double click on it, or "Show Calmfield" in its popup menu, asks for the window. The popup menu
// then offers the "Menu" menu's own items.
class TrayIcon : public QSystemTrayIcon {
    Q_OBJECT

  public:
    // `routinesLine` gives the next start or end of a routine, or nothing while none is to come.
    TrayIcon(const player::MixPlayer& player, const QMenu& mainMenu,
             std::function<QString()> routinesLine, QObject* parent = nullptr);

    // Brings the tooltip up to date with the player and the routines.
    void showToolTip();

  signals:
    void showRequested();

  private:
    void activatedBy(ActivationReason reason);

    const player::MixPlayer& player_;
    std::function<QString()> routinesLine_;
    QMenu popup_;
};

} // namespace calmfield::shell
