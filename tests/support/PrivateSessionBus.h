#pragma once

#include "tests/support/ChildProcess.h"

#include <filesystem>
#include <optional>
#include <string>

namespace calmfield::testsupport {

// A session bus of our own (dbus-daemon) on a socket in a temporary folder: the user's own bus is
// never touched.
class PrivateSessionBus {
  public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Runs the daemon and waits until it accepts connections; false with error() saying why.
    bool start();

    // The address clients connect to, as in DBUS_SESSION_BUS_ADDRESS.
    std::string address() const { return "unix:path=" + socketPath().string(); }
    const std::string& error() const { return error_; }

  private:
    std::filesystem::path socketPath() const { return folder_ / "bus"; }
    std::filesystem::path logPath() const { return folder_ / "bus.log"; }

    std::filesystem::path folder_;
    std::optional<ChildProcess> daemon_;
    std::string error_;
};

} // namespace calmfield::testsupport
