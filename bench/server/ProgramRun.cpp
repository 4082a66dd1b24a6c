#include "bench/server/ProgramRun.h"

#include "tests/support/ProgramCopy.h"
#include "tests/support/ServerTools.h"

#include <signal.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace calmfield::bench {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kStartUpTimeout = 20s;

} // namespace

ProgramRun::ProgramRun(fs::path builtFolder)
    : builtFolder_(std::move(builtFolder)),
      folder_(testsupport::makeTemporaryFolder("calmfield-bench-program")) {}

ProgramRun::~ProgramRun() {
    program_.reset();
    std::error_code error;
    fs::remove_all(folder_, error);
}

std::vector<std::string> ProgramRun::environment(const std::string& display,
                                                 const std::string& soundServer) const {
    std::vector<std::string> entries = testsupport::environmentWithout(
        {"PULSE_", "HOME=", "XDG_", "DBUS_",
         "DISPLAY=", "WAYLAND_DISPLAY=", "XAUTHORITY=", "QT_QPA_PLATFORM="});
    const fs::path runtime = folder_ / "runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    entries.push_back("PULSE_SERVER=" + soundServer);
    entries.push_back("HOME=" + (folder_ / "home").string());
    entries.push_back("XDG_CONFIG_HOME=" + (folder_ / "config").string());
    entries.push_back("XDG_RUNTIME_DIR=" + runtime.string());
    // Nor the machine's own system bus, where the program would take a sleep inhibitor.
    entries.push_back("DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent");
    if (!display.empty()) {
        entries.push_back("DISPLAY=" + display);
        entries.push_back("QT_QPA_PLATFORM=xcb");
    }
    return entries;
}

// The program takes the termination signals once its start-up is over.
bool ProgramRun::waitForStartUp() {
    for (auto waited = 0ms; waited < kStartUpTimeout && program_->running(); waited += 20ms) {
        if (testsupport::catchesSignal(program_->pid(), SIGTERM))
            return true;
        std::this_thread::sleep_for(20ms);
    }
    error_ = program_->running() ? "its start-up did not end within 20 s" : "it ended at start-up";
    return false;
}

bool ProgramRun::start(const std::string& settingsLine, const std::string& display,
                       const std::string& soundServer) {
    testsupport::copyProgramFolder(builtFolder_, programFolder());
    std::ofstream(programFolder() / "settings.ini", std::ios::binary) << settingsLine;
    std::vector<std::string> arguments{(programFolder() / "calmfield").string()};
    if (display.empty())
        arguments.push_back("--headless");
    program_ =
        testsupport::ChildProcess::spawn(arguments, environment(display, soundServer), logPath());
    if (!program_) {
        error_ = "it could not be started";
        return false;
    }
    if (waitForStartUp())
        return true;
    error_ += "; it printed:\n" + testsupport::fileContent(logPath());
    return false;
}

} // namespace calmfield::bench
