#include "tests/support/ProgramCopy.h"

#include <cctype>
#include <fstream>
#include <string>

namespace calmfield::testsupport {
namespace {

namespace fs = std::filesystem;

bool isSettingsFile(const fs::path& file) {
    std::string name = file.filename().string();
    for (char& letter : name)
        letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    return name.starts_with("settings.ini");
}

} // namespace

void copyProgramFolder(const fs::path& builtFolder, const fs::path& folder) {
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(builtFolder)) {
        const fs::path target = folder / entry.path().filename();
        if (entry.path().filename() == "calmfield")
            fs::copy_file(entry.path(), target);
        else if (entry.is_regular_file() && !isSettingsFile(entry.path()))
            fs::create_symlink(entry.path(), target);
    }
}

bool catchesSignal(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("SigCgt:"))
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1U) != 0;
    }
    return false;
}

} // namespace calmfield::testsupport
