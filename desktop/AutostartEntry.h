#pragma once

#include "files/Result.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace calmfield::desktop {

// The desktop's autostart folder: $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when that
// is not set to an absolute path.
std::filesystem::path autostartFolder();

// The command that starts this very program: the installed command in bin/ when the program runs
// from its installed folder, or else the executable itself.
std::filesystem::path commandOfThisProgram();

// `path` as one argument of a desktop entry's Exec key: quoted when it holds a character the
// key reserves, and escaped as the key's string value needs.
std::string desktopExecArgument(const std::string& path);

// The entry in the desktop's autostart folder that starts the program at login.
class AutostartEntry {
  public:
    // The entry `<applicationId>.desktop` in `folder`, starting `command`.
    AutostartEntry(std::filesystem::path folder, std::string_view applicationId,
                   std::filesystem::path command);
    // This program's entry in the user's autostart folder.
    static AutostartEntry forThisProgram(std::string_view applicationId);

    const std::filesystem::path& file() const { return file_; }
    bool exists() const;
    // What the entry holds.
    std::string content() const;

    // A failure of either says what went wrong as a clause for the user. Writing makes the
    // folder when it is missing and replaces the file only once the new one is complete; removing
    // an entry that is not there succeeds.
    files::Result<files::Done, std::string> write() const;
    files::Result<files::Done, std::string> remove() const;

  private:
    std::filesystem::path file_;
    std::string applicationId_;
    std::filesystem::path command_;
};

} // namespace calmfield::desktop
