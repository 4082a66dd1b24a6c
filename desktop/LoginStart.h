#pragma once

#include "desktop/AutostartEntry.h"

#include <filesystem>

namespace calmfield::desktop {

// The link that enabling the user service for this user makes, in the desktop's configuration
// folder: systemd/user/default.target.wants/calmfield.service.
std::filesystem::path userServiceLink();

// Whether the program starts by itself at login: through `entry`, or through its user service,
// enabled for this user or for every user.
bool startsAtLogin(const AutostartEntry& entry);

} // namespace calmfield::desktop
