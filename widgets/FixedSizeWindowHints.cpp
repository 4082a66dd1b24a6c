#include "widgets/FixedSizeWindowHints.h"

#include "resources/EmbeddedPictures.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace calmfield::widgets {
namespace {

constexpr char kMotifHints[] = "_MOTIF_WM_HINTS";
// A set "all" bit turns the other bits of its field into exceptions.
constexpr std::uint32_t kFunctionsGiven = 1U << 0;
constexpr std::uint32_t kDecorationsGiven = 1U << 1;
constexpr std::uint32_t kAll = 1U << 0;
constexpr std::uint32_t kFunctionResize = 1U << 1;
constexpr std::uint32_t kFunctionMaximise = 1U << 4;
constexpr std::uint32_t kDecorationResizeHandles = 1U << 2;
constexpr std::uint32_t kDecorationMaximise = 1U << 6;

void withdraw(std::uint32_t& field, std::uint32_t bits) {
    if (field & kAll)
        field |= bits;
    else
        field &= ~bits;
}

xcb_atom_t atomNamed(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

void stopOfferingResize(xcb_connection_t* connection, xcb_window_t window) {
    std::optional<MotifHints> hints = motifHints(connection, window);
    if (!hints)
        return;
    auto& [flags, functions, decorations, inputMode, status] = *hints;
    if (flags & kFunctionsGiven)
        withdraw(functions, kFunctionResize | kFunctionMaximise);
    if (flags & kDecorationsGiven)
        withdraw(decorations, kDecorationResizeHandles | kDecorationMaximise);
    const xcb_atom_t property = atomNamed(connection, kMotifHints);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, property, 32,
                        static_cast<std::uint32_t>(hints->size()), hints->data());
    xcb_flush(connection);
}

} // namespace

std::optional<MotifHints> motifHints(xcb_connection_t* connection, std::uint32_t window) {
    const xcb_atom_t property = atomNamed(connection, kMotifHints);
    if (property == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, property, 0, 5), nullptr);
    MotifHints hints{};
    const bool found = reply != nullptr && reply->format == 32 &&
                       xcb_get_property_value_length(reply) == int(sizeof hints);
    if (found)
        std::memcpy(hints.data(), xcb_get_property_value(reply), sizeof hints);
    std::free(reply);
    return found ? std::optional(hints) : std::nullopt;
}

FixedSizeWindowHints::FixedSizeWindowHints(QWidget* window) : QObject(window) {
    const Qt::WindowFlags flags = window->windowFlags();
    if (flags & Qt::WindowMaximizeButtonHint)
        window->setWindowFlags((flags | Qt::CustomizeWindowHint) & ~Qt::WindowMaximizeButtonHint);
    window->installEventFilter(this);
}

// The show event comes after the native window is made and before it is mapped, so the window
// manager finds the hints in place when it takes the window on.
bool FixedSizeWindowHints::eventFilter(QObject* watched, QEvent* event) {
    auto* window = static_cast<QWidget*>(watched);
    if (!window->isWindow())
        return false;
    if (event->type() == QEvent::WindowStateChange && window->isMaximized()) {
        // Not from within the change itself, which is still being made.
        QMetaObject::invokeMethod(
            window,
            [window] { window->setWindowState(window->windowState() & ~Qt::WindowMaximized); },
            Qt::QueuedConnection);
        return false;
    }
    if (event->type() != QEvent::Show)
        return false;
    // Other platforms, the offscreen one among them, may offer the X11 interface without an X
    // server behind it.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && x11 != nullptr &&
        x11->connection() != nullptr)
        stopOfferingResize(x11->connection(), static_cast<xcb_window_t>(window->winId()));
    return false;
}

void makeFixedFrame(QWidget& window, Qt::WindowType kind) {
    window.setWindowFlags(kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    window.setWindowIcon(resources::programIcon());
    new FixedSizeWindowHints(&window);
}

} // namespace calmfield::widgets
