#include "app/WindowSystemProbe.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstring>

namespace calmfield::app {
namespace {

bool x11Answers() {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answered = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answered;
}

// The compositor's socket, named as libwayland names it: WAYLAND_DISPLAY, in XDG_RUNTIME_DIR
// unless it is a path of its own.
bool waylandAnswers() {
    const QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        return false;
    const QByteArray path =
        (display.startsWith(QLatin1Char('/'))
             ? display
             : qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + display)
            .toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    const bool answered =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(socket);
    return answered;
}

} // namespace

bool windowSystemAnswers() {
    const QString named = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!named.isEmpty()) {
        for (const QString& platform : named.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const bool answers = platform.startsWith(QLatin1String("xcb"))       ? x11Answers()
                                 : platform.startsWith(QLatin1String("wayland")) ? waylandAnswers()
                                                                                 : true;
            if (answers)
                return true;
        }
        return false;
    }
    const bool wayland = waylandAnswers();
    const bool x11 = x11Answers();
    if (wayland != x11)
        qputenv("QT_QPA_PLATFORM", wayland ? "wayland" : "xcb");
    return wayland || x11;
}

} // namespace calmfield::app
