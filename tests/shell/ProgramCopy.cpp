#include "ProgramCopy.h"

#include "tests/support/ServerTools.h"

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace calmfield {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

fs::path programFolderIn(const fs::path& root) {
    const char* built = std::getenv("CALMFIELD_PROGRAM_DIR");
    const fs::path folder = root / "program";
    fs::remove_all(root);
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(built != nullptr ? built : "")) {
        if (entry.path().filename() == "calmfield")
            fs::copy_file(entry.path(), folder / "calmfield");
        else if (entry.is_regular_file() && entry.path().filename() != "settings.ini")
            fs::create_symlink(entry.path(), folder / entry.path().filename());
    }
    return folder;
}

std::vector<std::string> environmentFor(const testsupport::PrivatePulseServer& server,
                                        const fs::path& root) {
    std::vector<std::string> environment =
        testsupport::environmentWithout({"PULSE_", "HOME=", "XDG_"});
    fs::create_directories(root / "runtime");
    fs::permissions(root / "runtime", fs::perms::owner_all);
    environment.push_back("PULSE_SERVER=" + server.address());
    environment.push_back("HOME=" + (root / "home").string());
    environment.push_back("XDG_RUNTIME_DIR=" + (root / "runtime").string());
    environment.push_back("QT_QPA_PLATFORM=offscreen");
    return environment;
}

bool catches(pid_t pid, int number) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("SigCgt:"))
            return (std::stoull(line.substr(7), nullptr, 16) >> (number - 1) & 1U) != 0;
    }
    return false;
}

bool waitForStartUp(pid_t pid) {
    for (auto waited = 0ms; !catches(pid, SIGTERM) && waited < 20s; waited += 20ms)
        std::this_thread::sleep_for(20ms);
    return catches(pid, SIGTERM);
}

} // namespace calmfield
