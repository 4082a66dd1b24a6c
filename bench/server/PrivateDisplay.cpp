#include "bench/server/PrivateDisplay.h"

#include "tests/support/ServerTools.h"

#include <chrono>
#include <fstream>
#include <regex>
#include <thread>

namespace calmfield::bench {
namespace {

using namespace std::chrono_literals;

// Xvfb writes the number of the display it chose, alone on a line, once it accepts clients.
std::string displayNumberIn(const std::filesystem::path& log) {
    std::ifstream output(log);
    for (std::string line; std::getline(output, line);) {
        if (std::regex_match(line, std::regex("[0-9]+")))
            return line;
    }
    return {};
}

} // namespace

PrivateDisplay::PrivateDisplay() : folder_(testsupport::makeTemporaryFolder("calmfield-bench-x")) {}

PrivateDisplay::~PrivateDisplay() {
    server_.reset();
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}

bool PrivateDisplay::start() {
    const std::filesystem::path logFile = folder_ / "xvfb.log";
    server_ = testsupport::ChildProcess::spawn(
        {"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"},
        testsupport::currentEnvironment(), logFile);
    if (!server_)
        return false;
    for (auto waited = 0ms; waited < 10s && server_->running(); waited += 50ms) {
        if (const std::string number = displayNumberIn(logFile); !number.empty()) {
            name_ = ":" + number;
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    server_.reset();
    return false;
}

} // namespace calmfield::bench
