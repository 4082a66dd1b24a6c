#include "recorder/HostPath.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace calmfield::recorder {
namespace {

bool startsWithDriveRoot(std::string_view path) {
    return path.size() >= 3 && std::tolower(static_cast<unsigned char>(path[0])) == 'c' &&
           path[1] == ':' && path[2] == '\\';
}

} // namespace

std::filesystem::path hostPath(std::string_view writtenPath, const std::filesystem::path& home) {
    const bool inHome = startsWithDriveRoot(writtenPath);
    if (inHome)
        writtenPath.remove_prefix(3);
    std::string path(writtenPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!inHome)
        return path;
    // "c:\\rain.wav" is still in the home folder, not at the root of this system.
    path.erase(0, path.find_first_not_of('/'));
    return home / path;
}

} // namespace calmfield::recorder
