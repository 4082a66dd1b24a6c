// The built program playing with no window system at all, controlled from the session bus and
// answering later starts.

#include "ProgramFixture.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/PrivateSessionBus.h"
#include "tests/support/ServerTools.h"
#include "tests/support/SourceRecorder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <fstream>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::fileContent;
using HeadlessProgram = testsupport::ProgramFixture;

TEST_F(HeadlessProgram, PlaysWithoutAWindowSystemAndAnswersLaterStarts) {
    testsupport::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start()) << bus.error();
    const fs::path settings = folder / "settings.ini";
    // Without its line end, as the program never writes it, so that a write would show.
    const std::string startupMix = "0,1,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050,0";
    std::ofstream(settings) << startupMix;
    std::vector<std::string> environment = testsupport::headlessEnvironmentFor(server, root);
    environment.push_back("DBUS_SESSION_BUS_ADDRESS=" + bus.address());
    const std::string program = (folder / "calmfield").string();
    const auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), program);
        const auto log = root / "run.log";
        fs::remove(log);
        const auto status = testsupport::runProgram(arguments, environment, log, 20s);
        return std::pair{status.value_or(-1), fileContent(log)};
    };

    const auto [plain, noDesktop] = run({});
    EXPECT_EQ(plain, 1);
    EXPECT_NE(noDesktop.find("\"calmfield --headless\" plays without one"), std::string::npos)
        << noDesktop;
    // A display named but not answering is no desktop either, rather than Qt's abort.
    environment.push_back("DISPLAY=:9487");
    EXPECT_EQ(run({}), std::pair(plain, noDesktop));
    environment.pop_back();
    const auto [badMix, notLoaded] = run({"--headless", "--mix", (root / "none.clm").string()});
    EXPECT_EQ(badMix, 1);
    EXPECT_NE(notLoaded.find("could not be loaded"), std::string::npos) << notLoaded;
    EXPECT_EQ(fileContent(settings), startupMix) << "nothing is written";

    // Started before the sound server, as a service may be: it says so once, and plays as soon as
    // the server answers.
    server.stop();
    auto headless = testsupport::ChildProcess::spawn({program, "--headless"}, environment,
                                                     root / "headless.log");
    ASSERT_TRUE(headless);
    ASSERT_TRUE(testsupport::waitForStartUp(headless->pid())) << fileContent(root / "headless.log");
    ASSERT_TRUE(server.start()) << server.error();
    EXPECT_TRUE(testsupport::waitForSound(server.address(), server.monitorSourceName(),
                                          server.sampleRate(), 5s));
    const std::string told = fileContent(root / "headless.log");
    EXPECT_EQ(told.find("Couldn't open the mixer."), told.rfind("Couldn't open the mixer."));
    EXPECT_NE(told.find("Couldn't open the mixer."), std::string::npos) << told;
    const auto playerctl = [&](const char* command) {
        const auto log = root / "playerctl.log";
        fs::remove(log);
        testsupport::runProgram({"playerctl", "-p", "calmfield", command}, environment, log, 5s);
        return fileContent(log);
    };
    playerctl("pause");
    EXPECT_EQ(playerctl("status"), "Paused\n");
    playerctl("play");
    EXPECT_EQ(playerctl("status"), "Playing\n");

    const auto [laterPlain, toldPlaying] = run({});
    EXPECT_EQ(laterPlain, 0);
    EXPECT_NE(toldPlaying.find("already playing without a window"), std::string::npos)
        << toldPlaying;
    const auto [laterHeadless, toldRunning] = run({"--headless"});
    EXPECT_EQ(laterHeadless, 0);
    EXPECT_NE(toldRunning.find("already running"), std::string::npos) << toldRunning;

    ::kill(headless->pid(), SIGTERM);
    EXPECT_EQ(headless->waitForExit(10s), 0) << fileContent(root / "headless.log");
}

} // namespace
} // namespace calmfield
