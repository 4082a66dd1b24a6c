#pragma once

#include "widgets/ClientArea.h"

#include <QWidget>

namespace calmfield::widgets {

// Makes `window` one of the program's small tool windows: its object name and title, a fixed
// frame with a close box only, seen as a dialog, closed by Escape, and a client area of the given
// size in twips on the program's background. Gives the client area, for the controls.
ClientArea* makeToolWindow(QWidget& window, const char* name, const char* caption, int widthTwips,
                           int heightTwips);

} // namespace calmfield::widgets
