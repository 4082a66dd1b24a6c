#pragma once

#include <sys/types.h>

#include <filesystem>

namespace calmfield::testsupport {

// Makes `folder` a program folder of its own: a copy of the built program from `builtFolder`,
// whose folder is where it finds its files, beside links to the built sound files and pictures.
// A settings file in the built folder is left behind.
void copyProgramFolder(const std::filesystem::path& builtFolder,
                       const std::filesystem::path& folder);

// Whether the process has a handler of its own for `signal`, as /proc tells.
bool catchesSignal(pid_t pid, int signal);

} // namespace calmfield::testsupport
