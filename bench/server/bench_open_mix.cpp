// How long a later start with a mix takes to change what the running copy plays: from starting
// `calmfield night.clm` to the new sound on the sink of a private PulseAudio server, the running
// copy playing without a window. Run by hand:
//   bench/bench_open_mix [rounds]

#include "tests/support/ChildProcess.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/ProgramCopy.h"
#include "tests/support/ServerTools.h"
#include "tests/support/SignalAnalysis.h"
#include "tests/support/SourceRecorder.h"

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace calmfield;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kGoal = 300ms;
constexpr auto kStep = 5ms;

// The moment the source first carries sound above -60 dBFS, listening until `deadline`.
std::optional<Clock::time_point> firstSound(testsupport::SourceRecorder& recorder,
                                            Clock::time_point deadline) {
    while (Clock::now() < deadline) {
        const auto samples = recorder.record(kStep);
        if (samples.empty())
            return std::nullopt;
        if (testsupport::rmsDecibels(samples) > -60.0)
            return Clock::now();
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    testsupport::PrivatePulseServer server;
    if (!server.start()) {
        std::fprintf(stderr, "bench_open_mix: no private PulseAudio server: %s\n",
                     server.error().c_str());
        return 1;
    }
    const fs::path root = testsupport::makeTemporaryFolder("calmfield-bench-open-mix-");
    const fs::path folder = root / "program";
    testsupport::copyProgramFolder(CALMFIELD_PROGRAM_DIR, folder);
    const std::string silent = "0,0,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050";
    std::ofstream(folder / "settings.ini") << silent << ",0";
    std::ofstream(root / "silent.clm") << silent << "\r\n";
    std::ofstream(root / "brown.clm") << "1,0,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050\r\n";
    std::vector<std::string> environment = testsupport::environmentWithout(
        {"PULSE_", "HOME=", "XDG_", "DISPLAY=", "WAYLAND_", "QT_QPA_", "DBUS_"});
    fs::create_directories(root / "runtime");
    fs::permissions(root / "runtime", fs::perms::owner_all);
    environment.push_back("PULSE_SERVER=" + server.address());
    environment.push_back("HOME=" + (root / "home").string());
    environment.push_back("XDG_RUNTIME_DIR=" + (root / "runtime").string());
    const std::string program = (folder / "calmfield").string();

    auto running =
        testsupport::ChildProcess::spawn({program, "--headless"}, environment, root / "run.log");
    for (auto waited = 0ms;
         running && !testsupport::catchesSignal(running->pid(), SIGTERM) && waited < 20s;
         waited += 20ms)
        std::this_thread::sleep_for(20ms);
    if (!running || !testsupport::catchesSignal(running->pid(), SIGTERM)) {
        std::fprintf(stderr, "bench_open_mix: the running copy did not start\n");
        return 1;
    }

    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        testsupport::runProgram({program, (root / "silent.clm").string()}, environment,
                                root / "later.log", 10s);
        std::this_thread::sleep_for(300ms); // the channel stops and the sink's buffer drains
        testsupport::SourceRecorder recorder(server.address(), server.monitorSourceName(),
                                             server.sampleRate());
        // Settles the recording, and makes sure the round starts from silence.
        if (testsupport::rmsDecibels(recorder.record(100ms)) > -60.0) {
            std::fprintf(stderr, "bench_open_mix: round %d: the silent mix still sounds\n",
                         round + 1);
            continue;
        }
        const auto start = Clock::now();
        auto heard =
            std::async(std::launch::async, [&] { return firstSound(recorder, start + 3s); });
        const auto status = testsupport::runProgram({program, (root / "brown.clm").string()},
                                                    environment, root / "later.log", 10s);
        const auto when = heard.get();
        if (status != 0 || !when) {
            std::fprintf(stderr, "bench_open_mix: round %d: status %d, %s\n", round + 1,
                         status.value_or(-1), when ? "sound" : "no sound");
            continue;
        }
        times.push_back(std::chrono::duration<double, std::milli>(*when - start).count());
    }
    ::kill(running->pid(), SIGTERM);
    running->waitForExit(10s);
    fs::remove_all(root);
    if (times.empty())
        return 1;
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("later start with a mix to new sound, %zu rounds: median %.0f ms, fastest %.0f ms, "
                "slowest %.0f ms (goal: within %lld ms) %s\n",
                times.size(), median, times.front(), times.back(),
                static_cast<long long>(kGoal.count()),
                times.back() <= static_cast<double>(kGoal.count()) ? "met" : "MISSED");
    return 0;
}
