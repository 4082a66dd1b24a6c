#include "desktop/AutostartEntry.h"

#include "desktop/ProgramFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace calmfield::desktop {
namespace {

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return "/";
}

} // namespace

std::filesystem::path autostartFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/')
        return std::filesystem::path(configHome) / "autostart";
    return homeFolder() / ".config" / "autostart";
}

std::filesystem::path commandOfThisProgram() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return programFolder() / "calmfield";
    // Installed, the program lies in <prefix>/lib/calmfield and its command in <prefix>/bin.
    const std::filesystem::path installed =
        (executable.parent_path() / ".." / ".." / "bin" / executable.filename()).lexically_normal();
    if (std::filesystem::equivalent(installed, executable, error))
        return installed;
    return executable;
}

std::string desktopExecArgument(const std::string& path) {
    // Reserved characters oblige the argument to be quoted; within quotes, four characters need a
    // backslash.
    static constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string argument;
    const bool quote = path.find_first_of(kReserved) != std::string::npos;
    for (const char c : path) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            argument += '\\';
        if (c == '%')
            argument += '%'; // a lone one would start a field code
        argument += c;
    }
    if (quote)
        argument = '"' + argument + '"';
    // The key's value is a string, whose own escapes come on top.
    std::string value;
    for (const char c : argument) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

AutostartEntry::AutostartEntry(std::filesystem::path folder, std::string_view applicationId,
                               std::filesystem::path command)
    : file_(std::move(folder) / (std::string(applicationId) + ".desktop")),
      applicationId_(applicationId), command_(std::move(command)) {}

AutostartEntry AutostartEntry::forThisProgram(std::string_view applicationId) {
    return {autostartFolder(), applicationId, commandOfThisProgram()};
}

bool AutostartEntry::exists() const {
    std::error_code error;
    return std::filesystem::is_regular_file(file_, error);
}

std::string AutostartEntry::content() const {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Calmfield\n"
           "Comment=Play the noise mix from the start of the session\n"
           "Exec=" +
           desktopExecArgument(command_.string()) +
           "\n"
           "Icon=" +
           applicationId_ +
           "\n"
           "Terminal=false\n";
}

files::Result<files::Done, std::string> AutostartEntry::write() const {
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    if (error)
        return files::failure("the folder \"" + file_.parent_path().string() +
                              "\" cannot be made (" + error.message() + ")");
    std::filesystem::path partial = file_;
    partial += ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << content();
        out.close();
        if (!out) {
            std::filesystem::remove(partial, error);
            return files::failure("the file \"" + file_.string() + "\" cannot be written");
        }
    }
    std::filesystem::rename(partial, file_, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return files::failure("the file \"" + file_.string() + "\" cannot be written (" +
                              error.message() + ")");
    }
    return files::Done{};
}

files::Result<files::Done, std::string> AutostartEntry::remove() const {
    std::error_code error;
    std::filesystem::remove(file_, error);
    if (error)
        return files::failure("the file \"" + file_.string() + "\" cannot be removed (" +
                              error.message() + ")");
    return files::Done{};
}

} // namespace calmfield::desktop
