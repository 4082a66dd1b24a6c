#include "ProgramCopy.h"

#include "tests/support/ProgramCopy.h"
#include "tests/support/ServerTools.h"

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace calmfield {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

fs::path programFolderIn(const fs::path& root) {
    const char* built = std::getenv("CALMFIELD_PROGRAM_DIR");
    const fs::path folder = root / "program";
    fs::remove_all(root);
    testsupport::copyProgramFolder(built != nullptr ? built : "", folder);
    return folder;
}

std::vector<std::string> environmentFor(const testsupport::PrivatePulseServer& server,
                                        const fs::path& root) {
    std::vector<std::string> environment =
        testsupport::environmentWithout({"PULSE_", "HOME=", "XDG_", "DBUS_"});
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

std::vector<std::string> headlessEnvironmentFor(const testsupport::PrivatePulseServer& server,
                                                const fs::path& root) {
    std::vector<std::string> environment;
    for (const std::string& entry : environmentFor(server, root))
        if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0 && entry.rfind("DISPLAY=", 0) != 0 &&
            entry.rfind("WAYLAND_DISPLAY=", 0) != 0)
            environment.push_back(entry);
    return environment;
}

bool waitForStartUp(pid_t pid) {
    for (auto waited = 0ms; !testsupport::catchesSignal(pid, SIGTERM) && waited < 20s;
         waited += 20ms)
        std::this_thread::sleep_for(20ms);
    return testsupport::catchesSignal(pid, SIGTERM);
}

} // namespace calmfield
