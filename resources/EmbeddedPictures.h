#pragma once

#include <QIcon>

namespace calmfield::resources {

// Paths of the pictures built into the program.
inline constexpr char kBackgroundPicture[] = ":/pictures/background.jpg";
inline constexpr char kSmallButtonFace[] = ":/pictures/button_small.jpg";   // 65 x 44
inline constexpr char kMediumButtonFace[] = ":/pictures/button_medium.jpg"; // 65 x 34
inline constexpr char kWideButtonFace[] = ":/pictures/button_wide.jpg";     // 326 x 34
inline constexpr char kAboutLogo[] = ":/pictures/logo.jpg";
inline constexpr char kIcon16[] = ":/pictures/calmfield_16.png";
inline constexpr char kIcon32[] = ":/pictures/calmfield_32.png";

// The program's icon at 16 and 32 pixels, for windows and the tray. Needs a QGuiApplication.
QIcon programIcon();

} // namespace calmfield::resources
