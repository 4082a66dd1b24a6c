#include "tests/support/PrivateSessionBus.h"

#include "tests/support/ServerTools.h"

namespace calmfield::testsupport {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);

} // namespace

PrivateSessionBus::PrivateSessionBus() : folder_(makeTemporaryFolder("calmfield-bus")) {}

PrivateSessionBus::~PrivateSessionBus() {
    daemon_.reset(); // ends it
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool PrivateSessionBus::start() {
    daemon_ = ChildProcess::spawn(
        {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + address()},
        environmentWithout({"DBUS_SESSION_BUS_ADDRESS="}), logPath());
    if (!daemon_) {
        error_ = "dbus-daemon could not be run (is it installed?)";
        return false;
    }
    if (!waitUntilAccepting(*daemon_, "dbus-daemon", socketPath(), kStartTimeout, logPath(),
                            error_)) {
        daemon_.reset();
        return false;
    }
    return true;
}

} // namespace calmfield::testsupport
