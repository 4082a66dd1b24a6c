#pragma once

#include <filesystem>

namespace calmfield::desktop {

// The folder that holds the running executable.
std::filesystem::path programFolder();

} // namespace calmfield::desktop
