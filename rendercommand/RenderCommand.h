#pragma once

#include "rendercommand/RenderRequest.h"

#include <filesystem>

namespace calmfield::rendercommand {

// Where a render finds the sound files, the startup settings and the listener's tone: the program's
// own folder and the user's settings folder, as a normal start does.
struct RenderFolders {
    std::filesystem::path programFolder;
    std::filesystem::path userSettingsFolder;
};
RenderFolders renderFoldersOfThisProgram();

// Renders the mix as `request` asks, telling the user of failures on standard error and of its
// progress there too when it is a terminal. Gives the exit status: 0 when the file was written,
// 1 when it could not be, 2 when the mix has nothing ticked. Ctrl-C and the termination signals
// stop the render, leaving no file, and end the program as the signal would.
int runRender(const RenderRequest& request, const RenderFolders& folders);

} // namespace calmfield::rendercommand
