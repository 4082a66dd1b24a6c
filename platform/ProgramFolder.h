#pragma once

#include <filesystem>

namespace calmfield::platform {

// The folder that holds the running executable.
std::filesystem::path programFolder();

} // namespace calmfield::platform
