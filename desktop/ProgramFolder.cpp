#include "desktop/ProgramFolder.h"

#include <system_error>

namespace calmfield::desktop {

std::filesystem::path programFolder() {
    std::error_code error;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path();
    return executable.parent_path();
}

} // namespace calmfield::desktop
