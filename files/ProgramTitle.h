#pragma once

namespace calmfield::files {

// The program's name: the title of every message box, and the name the desktop, the sound server
// and the media controls know it by.
inline constexpr char kProgramTitle[] = "Calmfield";

} // namespace calmfield::files
