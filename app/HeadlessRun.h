#pragma once

#include "app/CommandLine.h"

namespace calmfield::instance {
class SingleInstance;
}

namespace calmfield::app {

// Plays the startup mix, or the configuration file the command line gives, with no window and
// no window system, until a termination signal, the media controls' Quit or the sleep timer ends
// the run; the startup settings file is then written as a window's close writes it. `instance`,
// when there is one, answers later starts. The exit status.
int runHeadless(int& argc, char* argv[], const CommandLine& commandLine,
                instance::SingleInstance* instance);

} // namespace calmfield::app
