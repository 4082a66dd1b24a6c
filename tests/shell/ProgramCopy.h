#pragma once

#include "tests/support/PrivatePulseServer.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace calmfield {

// A program folder of its own under `root`: a copy of the built program, whose folder is where it
// finds its files, beside links to the built one's sound files and pictures.
std::filesystem::path programFolderIn(const std::filesystem::path& root);

// The environment for the program: the private server, and a home and runtime folder of its own
// under `root`, so that programs of tests running side by side never meet; no bus but those a
// test adds.
std::vector<std::string> environmentFor(const testsupport::PrivatePulseServer& server,
                                        const std::filesystem::path& root);
// The same without any window system, for a copy that plays without a window.
std::vector<std::string> headlessEnvironmentFor(const testsupport::PrivatePulseServer& server,
                                                const std::filesystem::path& root);

// Waits up to 20 s for the program to take the termination signals, as it does once its start-up
// is over.
bool waitForStartUp(pid_t pid);

} // namespace calmfield
