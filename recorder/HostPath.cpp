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

bool leavesHome(std::string_view writtenPath, const std::filesystem::path& home) {
    if (!startsWithDriveRoot(writtenPath))
        return false;
    // Taken by the names alone: where a link inside the home folder leads is the user's choice.
    const std::filesystem::path file = hostPath(writtenPath, home).lexically_normal();
    auto step = file.begin();
    for (const auto& part : home.lexically_normal()) {
        if (part.empty())
            continue;
        if (step == file.end() || *step != part)
            return true;
        ++step;
    }
    return step == file.end();
}

} // namespace calmfield::recorder
