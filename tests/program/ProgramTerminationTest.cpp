// The built program itself, run over a private sound server and asked to end by a signal, as the
// end of a desktop session or a shutdown asks it.

#include "ProgramFixture.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/ServerTools.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <fstream>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::fileContent;
using RunningProgram = testsupport::ProgramFixture;

TEST_F(RunningProgram, SavesItsSettingsAndEndsNormallyWhenTheSessionEnds) {
    // Settings the program reads and keeps, written without the line end it would give them: the
    // file is only the same afterwards if the program read it and wrote it again.
    const std::string stored = "0,1,0,1,0,0,-1500,0,-700,0,32000,12000,32000,32000,32000,1";
    std::ofstream(folder / "settings.ini") << stored;
    auto program = testsupport::ChildProcess::spawn(
        {(folder / "calmfield").string()}, testsupport::environmentFor(server, root), root / "log");
    ASSERT_TRUE(program);

    ASSERT_TRUE(testsupport::waitForStartUp(program->pid())) << fileContent(root / "log");
    // A session's end sends SIGHUP straight after SIGTERM.
    ::kill(program->pid(), SIGTERM);
    ::kill(program->pid(), SIGHUP);
    EXPECT_EQ(program->waitForExit(10s), 0) << fileContent(root / "log");
    EXPECT_EQ(fileContent(folder / "settings.ini"), stored + "\r\n") << fileContent(root / "log");
}

} // namespace
} // namespace calmfield
