#pragma once

namespace calmfield::widgets {

// The title of every message box of the program, and the program's name where the desktop shows
// it.
inline constexpr char kProgramTitle[] = "Calmfield";

} // namespace calmfield::widgets
