#pragma once

#include "tests/support/PrivatePulseServer.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace calmfield::testsupport {

// Makes `folder` a program folder of its own: a copy of the built program from `builtFolder`,
// whose folder is where it finds its files, beside links to the built sound files and pictures.
// A settings file in the built folder is left behind.
void copyProgramFolder(const std::filesystem::path& builtFolder,
                       const std::filesystem::path& folder);

// Whether the process has a handler of its own for `signal`, as /proc tells.
bool catchesSignal(pid_t pid, int signal);

// A program folder of its own under `root`, made anew: a copy of the built program, whose folder is
// where it finds its files, beside links to the built one's sound files and pictures.
std::filesystem::path programFolderIn(const std::filesystem::path& root);

// The environment for the program: the private server, and a home and runtime folder of its own
// under `root`, so that programs of tests running side by side never meet; no bus but those a
// test adds.
std::vector<std::string> environmentFor(const PrivatePulseServer& server,
                                        const std::filesystem::path& root);
// The same without any window system, for a copy that plays without a window.
std::vector<std::string> headlessEnvironmentFor(const PrivatePulseServer& server,
                                                const std::filesystem::path& root);

// Waits up to 20 s for the program to take the termination signals, as it does once its start-up
// is over.
bool waitForStartUp(pid_t pid);

} // namespace calmfield::testsupport
