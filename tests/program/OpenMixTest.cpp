// Opening a mix from the command line: in a first start, and handed to the copy already running.

#include "ProgramFixture.h"

#include "tests/support/ChildProcess.h"
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
using OpenMix = testsupport::ProgramFixture;

const std::string kSilent = "0,0,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050";
const std::string kBrown = "1,0,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050";
const std::string kPink = "0,1,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050";

TEST_F(OpenMix, ALaterStartHandsItToTheRunningCopyOfEitherKindAndLearnsTheResult) {
    const fs::path settings = folder / "settings.ini";
    std::ofstream(settings) << kSilent << ",0";
    std::ofstream(root / "brown.clm") << kBrown << "\r\n";
    std::ofstream(root / "pink.clm") << kPink << "\r\n";
    std::ofstream(root / "bad.clm") << "damaged";
    const auto windowed = testsupport::environmentFor(server, root);
    const auto headless = testsupport::headlessEnvironmentFor(server, root);
    const std::string program = (folder / "calmfield").string();
    // A later start from the folder of the mixes, naming them as a person in a shell would.
    const auto startAgain = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), program);
        const fs::path log = root / "later.log", here = fs::current_path();
        fs::current_path(root);
        const auto status = testsupport::runProgram(arguments, headless, log, 20s);
        fs::current_path(here);
        return std::pair{status.value_or(-1), fileContent(log)};
    };

    auto running =
        testsupport::ChildProcess::spawn({program, "--headless"}, headless, root / "headless.log");
    ASSERT_TRUE(running);
    ASSERT_TRUE(testsupport::waitForStartUp(running->pid())) << fileContent(root / "headless.log");
    EXPECT_NE(fileContent(root / "headless.log").find("The mix has no colour ticked"),
              std::string::npos)
        << "said, since no window shows it";
    EXPECT_EQ(startAgain({"brown.clm"}), std::pair(0, std::string()));
    EXPECT_TRUE(testsupport::waitForSound(server.address(), server.monitorSourceName(),
                                          server.sampleRate(), 5s));
    const auto [bad, told] = startAgain({"bad.clm"});
    EXPECT_EQ(bad, 1);
    EXPECT_NE(told.find("\"" + (root / "bad.clm").string() + "\" could not be loaded"),
              std::string::npos)
        << told;
    EXPECT_NE(fileContent(root / "headless.log").find("could not be loaded"), std::string::npos);
    EXPECT_EQ(startAgain({"brown.clm", "pink.clm"}).first, 2);
    ::kill(running->pid(), SIGTERM);
    EXPECT_EQ(running->waitForExit(10s), 0) << fileContent(root / "headless.log");
    EXPECT_EQ(fileContent(settings), kBrown + ",0\r\n")
        << "written on SIGTERM as a window's close writes; the bad file changed nothing";

    // A first start with a window plays its file over the startup mix, and takes a later one.
    running = testsupport::ChildProcess::spawn({program, (root / "pink.clm").string()}, windowed,
                                               root / "window.log");
    ASSERT_TRUE(running);
    ASSERT_TRUE(testsupport::waitForStartUp(running->pid())) << fileContent(root / "window.log");
    EXPECT_EQ(startAgain({"--headless", "brown.clm"}).first, 0);
    ::kill(running->pid(), SIGTERM);
    EXPECT_EQ(running->waitForExit(10s), 0) << fileContent(root / "window.log");
    EXPECT_EQ(fileContent(settings), kBrown + ",0\r\n");
    const std::string recent = fileContent(root / "home/.config/calmfield/recent-mixes");
    EXPECT_EQ(recent, (root / "brown.clm").string() + "\n" + (root / "pink.clm").string() + "\n");
}

} // namespace
} // namespace calmfield
