#pragma once

#include "instance/SingleInstance.h"

#include <optional>

namespace calmfield::app {

struct CommandLine;

// Claims the program's place as the one running copy for this user, as a copy of the command
// line's kind. The exit status when this start ends here, having handed its requests to the copy
// already running and told the user what it found there.
std::optional<int> claimSingleInstance(std::optional<instance::SingleInstance>& instance,
                                       const CommandLine& commandLine);

} // namespace calmfield::app
