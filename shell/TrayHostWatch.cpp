#include "shell/TrayHostWatch.h"

#include <QGuiApplication>
#include <QScreen>

namespace calmfield::shell {

TrayHostWatch::TrayHostWatch(QObject* parent) : QObject(parent) {
    // Only the X11 platform's native interface has this signal; asking another for it makes Qt
    // complain on the terminal.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    // That interface is a plain QObject whose class Qt keeps to itself, so the signal is reached by
    // its name.
    auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
    if (native != nullptr)
        connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), this,
                SIGNAL(trayMayHaveAppeared()));
}

} // namespace calmfield::shell
