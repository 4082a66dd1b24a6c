// Starting the built program again while it runs, and its command line.

#include "ProgramFixture.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/ServerTools.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::fileContent;
using SecondStart = testsupport::ProgramFixture;

TEST_F(SecondStart, HandsOverToTheRunningCopyEvenAfterOneCrashed) {
    const std::string program = this->program();
    const auto environment = testsupport::environmentFor(server, root);
    const auto startAgain = [&] {
        return testsupport::runProgram({program}, environment, root / "later.log", 10s);
    };

    auto first = testsupport::ChildProcess::spawn({program}, environment, root / "first.log");
    ASSERT_TRUE(first);
    ASSERT_TRUE(testsupport::waitForStartUp(first->pid())) << fileContent(root / "first.log");
    EXPECT_EQ(startAgain(), 0) << fileContent(root / "later.log");
    EXPECT_TRUE(first->running());

    // Killed, the first leaves its socket behind.
    ::kill(first->pid(), SIGKILL);
    first->waitForExit(5s);
    auto next = testsupport::ChildProcess::spawn({program}, environment, root / "next.log");
    ASSERT_TRUE(next);
    EXPECT_TRUE(testsupport::waitForStartUp(next->pid())) << fileContent(root / "next.log");
    EXPECT_EQ(startAgain(), 0) << fileContent(root / "later.log");
    EXPECT_TRUE(next->running());
    // One with a sleep timer hands it over and ends; the running copy then ends when it is up.
    EXPECT_EQ(
        testsupport::runProgram({program, "--sleep", "10s"}, environment, root / "sleep.log", 10s),
        0)
        << fileContent(root / "sleep.log");
    EXPECT_EQ(next->waitForExit(30s), 0) << fileContent(root / "next.log");
}

// The options answer without a window system: the program would abort if it tried to reach one.
TEST(CommandLine, AnswersWithoutAWindowSystemAndRefusesWhatItDoesNotKnow) {
    const fs::path root =
        fs::temp_directory_path() / ("calmfield-command-line-" + std::to_string(::getpid()));
    const std::string program = (testsupport::programFolderIn(root) / "calmfield").string();
    auto environment = testsupport::environmentWithout({"DISPLAY=", "WAYLAND_", "QT_QPA_"});
    environment.push_back("QT_QPA_PLATFORM=xcb");
    int runs = 0;
    const auto run = [&](const std::vector<std::string>& arguments) {
        std::vector<std::string> command{program};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto log = root / ("run" + std::to_string(++runs) + ".log");
        const auto status = testsupport::runProgram(command, environment, log, 10s);
        return std::pair(status.value_or(-1), fileContent(log));
    };

    EXPECT_EQ(run({"--version"}), std::pair(0, std::string("Calmfield 2.0\n")));
    const auto [helpStatus, help] = run({"-h"});
    EXPECT_EQ(helpStatus, 0);
    EXPECT_TRUE(help.starts_with("Usage: calmfield [options]\n")) << help;
    for (const char* told : {"--version", "--headless [--mix FILE.clm | FILE.clm]",
                             "from 8000 to 192000", "24000 or 48000"})
        EXPECT_NE(help.find(told), std::string::npos) << told << " is not in:\n" << help;
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals{
        {{"--volume=3", "--help"}, "'volume'"},
        {{"a.clm", "b.clm"}, "'a.clm' and 'b.clm'"},
        {{"--render", "n.wav", "--length", "1m", "a.clm"}, "--render takes its mix with --mix"},
        {{"--sleep", "90x"}, "\"90x\". It takes a number of minutes"}};
    for (const auto& [arguments, named] : refusals) {
        const auto [status, message] = run(arguments);
        EXPECT_EQ(status, 2) << message;
        EXPECT_NE(message.find(named), std::string::npos) << message;
        EXPECT_NE(message.find("calmfield --help"), std::string::npos) << message;
    }
    fs::remove_all(root);
}

} // namespace
} // namespace calmfield
