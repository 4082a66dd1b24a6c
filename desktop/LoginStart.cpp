#include "desktop/LoginStart.h"

#include <system_error>

namespace calmfield::desktop {
namespace {

namespace fs = std::filesystem;

const fs::path kWantedBy = fs::path("default.target.wants") / "calmfield.service";

// A link whose unit is gone starts nothing.
bool leadsToAUnit(const fs::path& link) {
    std::error_code error;
    return fs::exists(link, error);
}

} // namespace

fs::path userServiceLink() {
    // The autostart folder lies in the desktop's configuration folder, as systemd's does.
    return autostartFolder().parent_path() / "systemd" / "user" / kWantedBy;
}

bool startsAtLogin(const AutostartEntry& entry) {
    return entry.exists() || leadsToAUnit(userServiceLink()) ||
           leadsToAUnit(fs::path("/etc/systemd/user") / kWantedBy);
}

} // namespace calmfield::desktop
