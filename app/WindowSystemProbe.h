#pragma once

namespace calmfield::app {

// Whether a window system answers: the one QT_QPA_PLATFORM names, or else X11 or Wayland, asked
// directly, since Qt cannot fail its start without aborting the program. When only one of X11
// and Wayland answers, QT_QPA_PLATFORM is set to it, so that Qt does not try the other.
bool windowSystemAnswers();

} // namespace calmfield::app
