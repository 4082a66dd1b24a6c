#pragma once

class QWidget;

namespace calmfield::widgets {

// Moves `window`, frame and all, to the middle of its screen's available area.
void centreOnScreen(QWidget& window);

} // namespace calmfield::widgets
