#include "shell/TrayIcon.h"

#include "resources/EmbeddedPictures.h"
#include "shell/TrayToolTip.h"

namespace calmfield::shell {

TrayIcon::TrayIcon(const player::MixPlayer& player, const QMenu& mainMenu,
                   std::function<QString()> routinesLine, QObject* parent)
    : QSystemTrayIcon(resources::programIcon(), parent), player_(player),
      routinesLine_(std::move(routinesLine)) {
    QAction* show = popup_.addAction(QStringLiteral("Show Calmfield"));
    connect(show, &QAction::triggered, this, &TrayIcon::showRequested);
    popup_.addSeparator();
    popup_.addActions(mainMenu.actions());
    setContextMenu(&popup_);
    setToolTip(trayToolTip(player_, routinesLine_()));
    // A tray on the session bus reports a click as Trigger and never as DoubleClick.
    connect(this, &QSystemTrayIcon::activated, this, &TrayIcon::activatedBy);
}

void TrayIcon::showToolTip() {
    const QString text = trayToolTip(player_, routinesLine_());
    if (toolTip() != text)
        setToolTip(text);
}

// The middle button and moves over the icon do nothing.
void TrayIcon::activatedBy(ActivationReason reason) {
    if (reason == Trigger || reason == DoubleClick)
        emit showRequested();
}

} // namespace calmfield::shell
