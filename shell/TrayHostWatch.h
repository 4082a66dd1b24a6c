#pragma once

#include <QObject>

namespace calmfield::shell {

// Tells when a tray may have appeared on an X11 desktop that had none, from the X11 platform's own
// notice of a new tray manager, so that nothing has to look for one again and again. Elsewhere it
// never tells: on Wayland, Qt looks for a tray on the session bus once a run.
class TrayHostWatch : public QObject {
    Q_OBJECT

  public:
    explicit TrayHostWatch(QObject* parent = nullptr);

  signals:
    void trayMayHaveAppeared();
};

} // namespace calmfield::shell
