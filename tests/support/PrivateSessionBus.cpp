#include "tests/support/PrivateSessionBus.h"

#include "tests/support/ServerTools.h"

#include <fstream>

namespace calmfield::testsupport {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);

// A session bus that starts no service on demand, so that the desktop services installed on the
// machine, such as its portal, never answer in place of the tests' stand-ins.
constexpr char kConfiguration[] = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateSessionBus::PrivateSessionBus() : folder_(makeTemporaryFolder("calmfield-bus")) {}

PrivateSessionBus::~PrivateSessionBus() {
    daemon_.reset(); // ends it
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool PrivateSessionBus::start() {
    const auto configuration = folder_ / "session.conf";
    std::ofstream(configuration) << kConfiguration;
    daemon_ = ChildProcess::spawn({"dbus-daemon", "--config-file=" + configuration.string(),
                                   "--nofork", "--nopidfile", "--address=" + address()},
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
