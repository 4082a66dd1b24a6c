#pragma once

namespace calmfield::persistence {

// The states of a colour's toggle and of "Start in system tray": what their check boxes show and
// what the files hold.
inline constexpr int kOff = 0;
inline constexpr int kOn = 1;
inline constexpr int kGreyed = 2;

} // namespace calmfield::persistence
