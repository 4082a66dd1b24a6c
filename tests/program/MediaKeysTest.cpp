// The built program paused and resumed from the session bus by playerctl, as the keyboard's
// Play/Pause key does it.

#include "ProgramFixture.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/PrivateSessionBus.h"
#include "tests/support/ServerTools.h"
#include "tests/support/SignalAnalysis.h"
#include "tests/support/SourceRecorder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <thread>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::fileContent;
using RunningProgram = testsupport::ProgramFixture;

TEST_F(RunningProgram, PlayerctlPausesTheSinkAndBringsItBack) {
    testsupport::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start()) << bus.error();
    std::ofstream(folder / "settings.ini") << "0,1,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050,0";
    auto environment = testsupport::environmentFor(server, root);
    environment.push_back("DBUS_SESSION_BUS_ADDRESS=" + bus.address());
    auto program = testsupport::ChildProcess::spawn({(folder / "calmfield").string()}, environment,
                                                    root / "log");
    ASSERT_TRUE(program);
    ASSERT_TRUE(testsupport::waitForStartUp(program->pid())) << fileContent(root / "log");
    ASSERT_TRUE(testsupport::waitForSound(server.address(), server.monitorSourceName(),
                                          server.sampleRate(), 5s));

    const auto playerctl = [&](const char* command) {
        const auto log = root / "playerctl.log";
        fs::remove(log);
        EXPECT_EQ(testsupport::runProgram({"playerctl", "-p", "calmfield", command}, environment,
                                          log, 5s),
                  0)
            << fileContent(log);
        return fileContent(log);
    };
    const auto recordSink = [&] {
        return testsupport::rmsDecibels(testsupport::recordSource(
            server.address(), server.monitorSourceName(), server.sampleRate(), 300ms));
    };
    playerctl("play-pause");
    EXPECT_EQ(playerctl("status"), "Paused\n");
    std::this_thread::sleep_for(1s);
    EXPECT_LT(recordSink(), -90.0) << "still heard a second after the pause";
    playerctl("play-pause");
    std::this_thread::sleep_for(1s);
    EXPECT_GT(recordSink(), -40.0) << "not back a second after play";

    ::kill(program->pid(), SIGTERM);
    EXPECT_EQ(program->waitForExit(10s), 0) << fileContent(root / "log");
}

} // namespace
} // namespace calmfield
