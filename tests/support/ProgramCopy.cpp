#include "tests/support/ProgramCopy.h"

#include "tests/support/ServerTools.h"

#include <signal.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace calmfield::testsupport {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

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

fs::path programFolderIn(const fs::path& root) {
    const char* built = std::getenv("CALMFIELD_PROGRAM_DIR");
    const fs::path folder = root / "program";
    fs::remove_all(root);
    copyProgramFolder(built != nullptr ? built : "", folder);
    return folder;
}

std::vector<std::string> environmentFor(const PrivatePulseServer& server, const fs::path& root) {
    std::vector<std::string> environment = environmentWithout({"PULSE_", "HOME=", "XDG_", "DBUS_"});
    fs::create_directories(root / "runtime");
    fs::permissions(root / "runtime", fs::perms::owner_all);
    environment.push_back("PULSE_SERVER=" + server.address());
    environment.push_back("HOME=" + (root / "home").string());
    environment.push_back("XDG_RUNTIME_DIR=" + (root / "runtime").string());
    environment.push_back("QT_QPA_PLATFORM=offscreen");
    // No system bus: the machine's logind is never asked for anything.
    environment.push_back("DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + (root / "no-system-bus").string());
    return environment;
}

std::vector<std::string> headlessEnvironmentFor(const PrivatePulseServer& server,
                                                const fs::path& root) {
    std::vector<std::string> environment;
    for (const std::string& entry : environmentFor(server, root))
        if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0 && entry.rfind("DISPLAY=", 0) != 0 &&
            entry.rfind("WAYLAND_DISPLAY=", 0) != 0)
            environment.push_back(entry);
    return environment;
}

bool waitForStartUp(pid_t pid) {
    for (auto waited = 0ms; !catchesSignal(pid, SIGTERM) && waited < 20s; waited += 20ms)
        std::this_thread::sleep_for(20ms);
    return catchesSignal(pid, SIGTERM);
}

} // namespace calmfield::testsupport
