#pragma once

namespace calmfield::shell {

// Shown the first time in a run that "Tray" is pressed on a desktop without a tray.
inline constexpr char kNoTrayMessage[] =
    "This desktop has no notification area, so Calmfield cannot put its icon there. The noise "
    "plays on. To bring the window back, start Calmfield again, or use the desktop's media "
    "controls.";

} // namespace calmfield::shell
