#include "instance/RuntimeFolder.h"

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace calmfield::instance {
namespace {

bool ownFolder(const std::filesystem::path& folder, struct stat& status) {
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid();
}

// Whether the socket's path in `folder` fits a socket's address, with its ending null.
bool socketFits(const std::filesystem::path& folder) {
    return (folder / kSocketName).native().size() < sizeof(sockaddr_un::sun_path);
}

} // namespace

std::optional<std::filesystem::path> privateFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    struct stat status {};
    if (!ownFolder(folder, status))
        return std::nullopt;
    if ((status.st_mode & 0077) != 0 && ::chmod(folder.c_str(), 0700) != 0)
        return std::nullopt;
    return folder;
}

std::optional<std::filesystem::path> userRuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/' && socketFits(runtime)) {
        struct stat status {};
        if (ownFolder(runtime, status))
            return std::filesystem::path(runtime);
        // A runtime folder that is named but not there yet is made rather than passed over: the
        // sound library makes it a moment later anyway, and a copy started then would look for
        // the running one there and not find it.
        if (::lstat(runtime, &status) != 0 && errno == ENOENT) {
            if (auto made = privateFolder(runtime))
                return made;
        }
    }
    return privateFolder("/tmp/calmfield-" + std::to_string(::getuid()));
}

} // namespace calmfield::instance
