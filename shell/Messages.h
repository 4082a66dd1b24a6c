#pragma once

namespace calmfield::shell {

// Shown when the speakers' volume cannot be opened at start-up.
inline constexpr char kVolumePortFailureMessage[] = "Couldn't open the mixer.";

// Shown when the sound device cannot be opened.
inline constexpr char kDeviceFailureMessage[] = "Error. Please check you have DirectX8 or later.";

// Shown when a configuration file cannot be loaded: %1 is its path, %2 why.
inline constexpr char kMixNotLoadedMessage[] =
    "The configuration \"%1\" could not be loaded: %2. Nothing was changed.";

// Shown the first time in a run that "Tray" is pressed on a desktop without a tray.
inline constexpr char kNoTrayMessage[] =
    "This desktop has no notification area, so Calmfield cannot put its icon there. The noise "
    "plays on. To bring the window back, start Calmfield again, or use the desktop's media "
    "controls.";

} // namespace calmfield::shell
