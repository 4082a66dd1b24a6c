#pragma once

#include <QObject>
#include <Qt>

#include <array>
#include <cstdint>
#include <optional>

class QWidget;
struct xcb_connection_t;

namespace calmfield::widgets {

// Keeps a fixed-size window from offering to be resized or maximised. Qt lists resizing among the
// functions and decorations in the Motif hints of every framed X11 window, and some window
// managers then draw grips on a window whose size cannot change: each time the window is about to
// be shown its hints are rewritten without resizing or maximising. The window's maximise hint is
// cleared. Decorations the program draws itself, as on Wayland, may still show a maximise button:
// the window takes back its normal state whenever something maximises it.
class FixedSizeWindowHints : public QObject {
    Q_OBJECT

  public:
    // Watches `window`, which owns it.
    explicit FixedSizeWindowHints(QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Gives `window` a fixed frame with a close box only, the program's icon and the hints above:
// `kind` is Qt::Window for a window with a taskbar button, Qt::Tool for one without.
void makeFixedFrame(QWidget& window, Qt::WindowType kind);

// A window's _MOTIF_WM_HINTS: flags, functions, decorations, input mode and status. Empty when
// the window has none.
using MotifHints = std::array<std::uint32_t, 5>;
std::optional<MotifHints> motifHints(xcb_connection_t* connection, std::uint32_t window);

} // namespace calmfield::widgets
