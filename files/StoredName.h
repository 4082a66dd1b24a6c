#pragma once

#include <filesystem>
#include <string_view>

namespace calmfield::files {

// The path of a file stored under a name like "\violet.Wav ": the leading backslash is the path
// separator, trailing blanks are dropped and letter case is ignored. When the folder holds no such
// file, the path is the name as written, so that a message can name it.
std::filesystem::path resolveStoredName(const std::filesystem::path& folder,
                                        std::string_view storedName);

} // namespace calmfield::files
