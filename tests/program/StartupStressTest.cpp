// Starting and stopping the built program many times, each run ended by SIGTERM at a random
// moment of its start-up, with the runtime folder missing, appearing while the program starts,
// open to everybody, not a folder, or holding what a crashed copy left, and now and then a second
// start during the first one's start-up. Every run must end as the program means to and leave
// its settings file whole.

#include "tests/support/ProgramCopy.h"

#include "persistence/Mix.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ServerTools.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::fileContent;

constexpr int kRuns = 200;
constexpr int kLanes = 4;
constexpr char kNotAnswering[] = "calmfield: Calmfield is already running but does not answer.";

// What the runtime folder named by XDG_RUNTIME_DIR is when the program starts. Where it is not a
// folder, the program keeps to its own private folder in /tmp, which every run on the machine
// shares; the runs where it is missing or appearing share a lane with those, as once they did.
enum class RuntimeFolder { privateOne, openToAll, leftByACrash, missing, appearing, notAFolder };

bool sharesTheFallback(RuntimeFolder folder) {
    return folder == RuntimeFolder::missing || folder == RuntimeFolder::appearing ||
           folder == RuntimeFolder::notAFolder;
}

struct StartupRun {
    int number;
    RuntimeFolder folder;
    std::chrono::milliseconds terminateAfter;
    std::optional<std::chrono::milliseconds> secondStartAfter;
    std::chrono::milliseconds folderAppearsAfter;
};

// A socket file with nobody listening, as a copy that crashed leaves it.
void leaveDeadSocket(const fs::path& path) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(socket);
}

void prepare(const StartupRun& run, const fs::path& runtime) {
    fs::remove_all(runtime);
    switch (run.folder) {
    case RuntimeFolder::privateOne:
    case RuntimeFolder::openToAll:
    case RuntimeFolder::leftByACrash:
        fs::create_directories(runtime);
        fs::permissions(runtime, run.folder == RuntimeFolder::openToAll ? fs::perms::all
                                                                        : fs::perms::owner_all);
        if (run.folder == RuntimeFolder::leftByACrash) {
            leaveDeadSocket(runtime / "calmfield.socket");
            std::ofstream(runtime / "calmfield.lock") << "";
        }
        break;
    case RuntimeFolder::notAFolder:
        std::ofstream(runtime) << "";
        break;
    case RuntimeFolder::missing:
    case RuntimeFolder::appearing:
        break;
    }
    if (sharesTheFallback(run.folder)) {
        // The program's own folder in /tmp: sometimes gone, sometimes open to everybody.
        const fs::path fallback = "/tmp/calmfield-" + std::to_string(::getuid());
        std::error_code ignored;
        if (run.number % 3 == 0)
            fs::remove_all(fallback, ignored);
        else if (run.number % 3 == 1 && fs::is_directory(fallback, ignored))
            fs::permissions(fallback, fs::perms::all, ignored);
    }
}

std::string describe(const StartupRun& run) {
    std::ostringstream text;
    text << "run " << run.number << ": runtime folder kind " << static_cast<int>(run.folder)
         << ", SIGTERM after " << run.terminateAfter.count() << " ms";
    if (run.secondStartAfter)
        text << ", second start after " << run.secondStartAfter->count() << " ms";
    return text.str();
}

// What is wrong with how one copy ended, or nothing.
std::string judgeEnd(const std::optional<int>& waitStatus, const std::string& log, bool twoStarts) {
    if (!waitStatus)
        return "it did not end";
    const int status = *waitStatus;
    if (WIFSIGNALED(status))
        return WTERMSIG(status) == SIGTERM
                   ? ""
                   : "it was ended by signal " + std::to_string(WTERMSIG(status)) + "\n" + log;
    if (WEXITSTATUS(status) == 0)
        return "";
    if (WEXITSTATUS(status) == 1 && twoStarts && log.find(kNotAnswering) != std::string::npos)
        return "";
    return "it ended with status " + std::to_string(WEXITSTATUS(status)) + "\n" + log;
}

// How one copy ended, in a word or two.
std::string ending(const std::optional<int>& waitStatus) {
    if (!waitStatus)
        return "no end";
    if (WIFSIGNALED(*waitStatus))
        return WTERMSIG(*waitStatus) == SIGTERM ? "SIGTERM"
                                                : "signal " + std::to_string(WTERMSIG(*waitStatus));
    return "status " + std::to_string(WEXITSTATUS(*waitStatus));
}

struct LaneResult {
    std::vector<std::string> failures;
    std::map<std::string, int> endings;
};

// Runs `runs` one after another in the program folder under `root`: what went wrong, run by
// run, and how the copies ended.
LaneResult runLane(const fs::path& root, const std::vector<StartupRun>& runs,
                   const std::vector<std::string>& serverEnvironment) {
    LaneResult result;
    std::vector<std::string>& failures = result.failures;
    const std::string program = (root / "program" / "calmfield").string();
    const fs::path settingsFile = root / "program" / "settings.ini";
    const fs::path runtime = root / "runtime";
    std::vector<std::string> environment = serverEnvironment;
    environment.push_back("HOME=" + (root / "home").string());
    environment.push_back("XDG_RUNTIME_DIR=" + runtime.string());

    for (const StartupRun& run : runs) {
        persistence::Settings settings;
        settings.mix.toggles[0] = persistence::kOn;
        settings.mix.volumes[1] = -30 * (run.number % 100);
        settings.mix.frequencies[2] = 8000 + run.number;
        if (!persistence::writeSettings(QString::fromStdString(settingsFile.string()), settings)
                 .ok()) {
            failures.push_back("run " + std::to_string(run.number) +
                               ": the settings file could not be written");
            continue;
        }
        prepare(run, runtime);
        const fs::path firstLog = root / ("run" + std::to_string(run.number) + "-first.log");
        const fs::path secondLog = root / ("run" + std::to_string(run.number) + "-second.log");

        const auto started = std::chrono::steady_clock::now();
        std::thread folderAppears;
        if (run.folder == RuntimeFolder::appearing) {
            folderAppears = std::thread([&] {
                std::this_thread::sleep_until(started + run.folderAppearsAfter);
                fs::create_directories(runtime);
                fs::permissions(runtime, fs::perms::owner_all);
            });
        }
        std::vector<std::pair<testsupport::ChildProcess, fs::path>> copies;
        const auto start = [&](const fs::path& log) {
            auto copy = testsupport::ChildProcess::spawn({program}, environment, log);
            if (copy)
                copies.emplace_back(std::move(*copy), log);
            else
                failures.push_back(describe(run) + ": the program could not be started");
        };
        start(firstLog);
        if (run.secondStartAfter && copies.size() == 1) {
            std::this_thread::sleep_until(started + *run.secondStartAfter);
            start(secondLog);
            // The later start hands over or gives up, and ends by itself.
            bool oneEnded = false;
            for (auto waited = 0ms; !oneEnded && waited < 15s; waited += 20ms) {
                std::this_thread::sleep_for(20ms);
                oneEnded =
                    copies.size() < 2 || !copies[0].first.running() || !copies[1].first.running();
            }
            if (!oneEnded)
                failures.push_back(describe(run) + ": both copies ran on");
        }
        std::this_thread::sleep_until(started + run.terminateAfter);
        for (auto& [copy, log] : copies) {
            if (copy.running())
                ::kill(copy.pid(), SIGTERM);
        }
        for (auto& [copy, log] : copies) {
            if (!copy.waitForExit(20s))
                copy.terminate(0ms);
            ++result.endings[ending(copy.waitStatus())];
            const std::string wrong =
                judgeEnd(copy.waitStatus(), fileContent(log), run.secondStartAfter.has_value());
            if (!wrong.empty())
                failures.push_back(describe(run) + ": " + wrong);
        }
        if (folderAppears.joinable())
            folderAppears.join();

        const auto read = persistence::readSettings(QString::fromStdString(settingsFile.string()));
        if (!read.ok() || read.value() != settings ||
            fs::exists(settingsFile.string() + ".damaged"))
            failures.push_back(describe(run) +
                               ": the settings file changed: " + fileContent(settingsFile));
    }
    return result;
}

TEST(StartupStress, EveryRunEndsAsMeantAndLeavesTheSettingsWhole) {
    testsupport::PrivatePulseServer server;
    ASSERT_TRUE(server.start()) << server.error();
    const fs::path root =
        fs::temp_directory_path() / ("calmfield-startup-stress-" + std::to_string(::getpid()));
    auto environment = testsupport::environmentWithout({"PULSE_", "HOME=", "XDG_", "DBUS_"});
    environment.push_back("PULSE_SERVER=" + server.address());
    environment.push_back("QT_QPA_PLATFORM=offscreen");

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> moment(0, 1500);
    // A quarter of the runs leave the program to its folder in /tmp.
    std::uniform_int_distribution<int> kind(0, 3);
    // Runs that share the program's folder in /tmp take one lane, so that they never meet.
    std::vector<std::vector<StartupRun>> lanes(kLanes);
    for (int number = 0; number < kRuns; ++number) {
        const int drawn = kind(random);
        const auto folder = drawn < 3 ? static_cast<RuntimeFolder>(drawn)
                                      : static_cast<RuntimeFolder>(3 + number % 3);
        StartupRun run{number, folder, std::chrono::milliseconds(moment(random)), std::nullopt,
                       std::chrono::milliseconds(moment(random) / 5)};
        if (number % 4 == 0)
            run.secondStartAfter = std::chrono::milliseconds(moment(random));
        lanes[sharesTheFallback(run.folder) ? 0 : 1 + number % (kLanes - 1)].push_back(run);
    }

    // Every copy of the program is made before any lane starts one: a program started while
    // another lane writes its copy would hold that file open, and its start would fail.
    for (int lane = 0; lane < kLanes; ++lane)
        testsupport::programFolderIn(root / ("lane" + std::to_string(lane)));
    std::vector<std::future<LaneResult>> results;
    for (int lane = 0; lane < kLanes; ++lane) {
        results.push_back(std::async(std::launch::async, runLane,
                                     root / ("lane" + std::to_string(lane)), lanes[lane],
                                     environment));
    }
    std::vector<std::string> failures;
    std::map<std::string, int> endings;
    for (auto& result : results) {
        const LaneResult lane = result.get();
        failures.insert(failures.end(), lane.failures.begin(), lane.failures.end());
        for (const auto& [how, count] : lane.endings)
            endings[how] += count;
    }
    std::cout << kRuns << " runs; the copies ended:";
    for (const auto& [how, count] : endings)
        std::cout << " " << how << " " << count << ",";
    std::cout << "\n";
    for (const auto& failure : failures)
        ADD_FAILURE() << failure;
    EXPECT_TRUE(failures.empty()) << failures.size() << " of " << kRuns
                                  << " runs went wrong; random seed " << seed;
    if (failures.empty())
        fs::remove_all(root);
}

} // namespace
} // namespace calmfield
