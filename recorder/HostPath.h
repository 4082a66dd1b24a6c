#pragma once

#include <filesystem>
#include <string_view>

namespace calmfield::recorder {

// Where a path written as on the recorder's first home system lands here: a path starting with
// "c:\" (in any letter case) is taken in `home`, the stand-in for the root of drive C, and every
// backslash is a path separator. Any other path is taken as written.
std::filesystem::path hostPath(std::string_view writtenPath, const std::filesystem::path& home);

// Whether a path starting with "c:\" climbs out of `home` through its ".." steps, so that the
// file it names would lie outside the home folder. Other paths never do.
bool leavesHome(std::string_view writtenPath, const std::filesystem::path& home);

} // namespace calmfield::recorder
