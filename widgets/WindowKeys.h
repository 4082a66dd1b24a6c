#pragma once

class QWidget;

namespace calmfield::widgets {

// Closes `window` when Escape is pressed while it is the active window, whichever of its
// controls has the focus.
void closeOnEscape(QWidget& window);

} // namespace calmfield::widgets
