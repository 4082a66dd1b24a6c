#pragma once

#include <filesystem>
#include <functional>

namespace calmfield::persistence {

// Where the startup settings file is read at start-up and written at close. It lives beside the
// program when it can be written there. A program installed where the user cannot write keeps it
// in the user's own folder instead, so that the settings are never silently lost; until that file
// exists, the one beside the program (if any) is still read.
class StartupSettingsLocation {
  public:
    static constexpr char kStoredName[] = "\\settings.ini";

    // Whether the user may write the file or folder at a path.
    using WritableTest = std::function<bool(const std::filesystem::path&)>;
    static bool writableByUser(const std::filesystem::path& path);

    // An empty `userFolder` means the user has no folder of their own for it.
    StartupSettingsLocation(std::filesystem::path programFolder, std::filesystem::path userFolder,
                            WritableTest writable = &writableByUser);

    // The file beside the program, found whatever its letter case.
    std::filesystem::path programFile() const;
    // The file in the user's own folder.
    std::filesystem::path userFile() const;

    // True when the program's folder is writable and its file is either absent or a writable
    // regular file.
    bool programFolderTakesIt() const;

    // The file to read at start-up, or an empty path when there is none.
    std::filesystem::path fileToRead() const;
    // The file to write at close; its folder may not exist yet.
    std::filesystem::path fileToWrite() const;

  private:
    std::filesystem::path programFolder_;
    std::filesystem::path userFolder_;
    WritableTest writable_;
};

} // namespace calmfield::persistence
