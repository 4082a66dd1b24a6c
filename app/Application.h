#pragma once

#include "session/NoiseSession.h"

namespace calmfield::app {

// Names the application object, whichever kind it is: the user's settings folder
// (~/.config/calmfield), the version and the menu entry the program belongs to.
void nameTheApplication();

// Where this program finds its sounds and keeps its settings. Needs the application object.
session::SessionFolders foldersOfThisProgram();

} // namespace calmfield::app
