#include "persistence/StartupSettingsLocation.h"

#include "files/RegularFile.h"
#include "files/StoredName.h"

#include <unistd.h>

namespace calmfield::persistence {
namespace {

bool isFolder(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool isAbsent(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() ==
           std::filesystem::file_type::not_found;
}

} // namespace

bool StartupSettingsLocation::writableByUser(const std::filesystem::path& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

StartupSettingsLocation::StartupSettingsLocation(std::filesystem::path programFolder,
                                                 std::filesystem::path userFolder,
                                                 WritableTest writable)
    : programFolder_(std::move(programFolder)), userFolder_(std::move(userFolder)),
      writable_(std::move(writable)) {}

std::filesystem::path StartupSettingsLocation::programFile() const {
    return files::resolveStoredName(programFolder_, kStoredName);
}

std::filesystem::path StartupSettingsLocation::userFile() const {
    if (userFolder_.empty())
        return {};
    return files::resolveStoredName(userFolder_, kStoredName);
}

bool StartupSettingsLocation::programFolderTakesIt() const {
    if (!isFolder(programFolder_) || !writable_(programFolder_))
        return false;
    const auto file = programFile();
    return isAbsent(file) || (files::isRegularFile(file) && writable_(file));
}

std::filesystem::path StartupSettingsLocation::fileToRead() const {
    const auto program = programFile();
    const auto user = userFile();
    if (!programFolderTakesIt() && !user.empty() && files::isRegularFile(user))
        return user;
    return files::isRegularFile(program) ? program : std::filesystem::path();
}

std::filesystem::path StartupSettingsLocation::fileToWrite() const {
    if (programFolderTakesIt() || userFolder_.empty())
        return programFile();
    return userFile();
}

} // namespace calmfield::persistence
