// The built program itself, run over a private sound server and asked to end by a signal, as the
// end of a desktop session or a shutdown asks it.

#include "tests/support/ChildProcess.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/ServerTools.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <thread>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::fileContent;

// A program folder of its own: a copy of the built program, whose folder is where it finds its
// files, beside links to the built one's sound files and pictures.
fs::path programFolderIn(const fs::path& root) {
    const char* built = std::getenv("CALMFIELD_PROGRAM_DIR");
    const fs::path folder = root / "program";
    fs::remove_all(root);
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(built != nullptr ? built : "")) {
        if (entry.path().filename() == "calmfield")
            fs::copy_file(entry.path(), folder / "calmfield");
        else if (entry.is_regular_file() && entry.path().filename() != "settings.ini")
            fs::create_symlink(entry.path(), folder / entry.path().filename());
    }
    return folder;
}

// Whether the process has its own handler for `number`, as /proc tells.
bool catches(pid_t pid, int number) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("SigCgt:"))
            return (std::stoull(line.substr(7), nullptr, 16) >> (number - 1) & 1U) != 0;
    }
    return false;
}

// The environment for the program: the private server, and a home and folders of its own.
std::vector<std::string> environmentFor(const testsupport::PrivatePulseServer& server,
                                        const fs::path& root) {
    std::vector<std::string> environment =
        testsupport::environmentWithout({"PULSE_", "HOME=", "XDG_"});
    fs::create_directories(root / "runtime");
    fs::permissions(root / "runtime", fs::perms::owner_all);
    environment.push_back("PULSE_SERVER=" + server.address());
    environment.push_back("HOME=" + (root / "home").string());
    environment.push_back("XDG_RUNTIME_DIR=" + (root / "runtime").string());
    environment.push_back("QT_QPA_PLATFORM=offscreen");
    return environment;
}

TEST(RunningProgram, SavesItsSettingsAndEndsNormallyWhenTheSessionEnds) {
    testsupport::PrivatePulseServer server;
    ASSERT_TRUE(server.start()) << server.error();
    const fs::path root =
        fs::temp_directory_path() / ("calmfield-program-" + std::to_string(::getpid()));
    const fs::path folder = programFolderIn(root);
    // Settings the program reads and keeps, written without the line end it would give them: the
    // file is only the same afterwards if the program read it and wrote it again.
    const std::string stored = "0,1,0,1,0,0,-1500,0,-700,0,32000,12000,32000,32000,32000,1";
    std::ofstream(folder / "settings.ini") << stored;
    auto program = testsupport::ChildProcess::spawn({(folder / "calmfield").string()},
                                                    environmentFor(server, root), root / "log");
    ASSERT_TRUE(program);

    // Termination signals are taken once start-up is over.
    for (auto waited = 0ms; !catches(program->pid(), SIGTERM) && waited < 20s; waited += 20ms)
        std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(catches(program->pid(), SIGTERM)) << fileContent(root / "log");
    // A session's end sends SIGHUP straight after SIGTERM.
    ::kill(program->pid(), SIGTERM);
    ::kill(program->pid(), SIGHUP);
    EXPECT_EQ(program->waitForExit(10s), 0) << fileContent(root / "log");
    EXPECT_EQ(fileContent(folder / "settings.ini"), stored + "\r\n") << fileContent(root / "log");
    fs::remove_all(root);
}

} // namespace
} // namespace calmfield
