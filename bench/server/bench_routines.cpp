// When a routine's sound begins against the wall clock, and what the program costs while it waits
// for a routine. The built program plays, headless on a private PulseAudio server, a routine of one
// colour with no rise that starts on the next minute (in universal time); the monitor is read in
// 10 ms pieces and the first one louder than -60 dB tells how late the sound began (goal: at most
// 1 s, the monitor's own latency included). Then, with the next routine a day away, its processor
// ticks and wake-ups over a stretch of waiting, headless and with its window shown on a private X
// server (goal: what it costs idle, no ticks).
//
// Usage: bench_routines [seconds of waiting, default 600]

#include "bench/server/PrivateDisplay.h"
#include "bench/server/ProcessorUse.h"
#include "bench/server/ProgramRun.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/SignalAnalysis.h"
#include "tests/support/SourceRecorder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace calmfield;
using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

constexpr char kNothingTicked[] = "0,0,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050,0";

std::string clockReading(Clock::time_point moment) {
    const std::time_t time = Clock::to_time_t(moment);
    char text[8];
    std::strftime(text, sizeof text, "%H:%M", std::gmtime(&time));
    return text;
}

void writeRoutine(const bench::ProgramRun& run, Clock::time_point start) {
    std::filesystem::create_directories(run.configFolder());
    const auto mix = run.configFolder() / "white.clm";
    std::ofstream(mix) << "0,0,1,0,0,0,0,-600,0,0,22050,22050,22050,22050,22050\r\n";
    std::ofstream(run.configFolder() / "routines")
        << "daily " << clockReading(start) << " " << clockReading(start + 1min) << " 0s 0s "
        << mix.string() << "\n";
}

// Seconds from the routine's start to the first sound on the monitor; negative when none came.
double startError(testsupport::PrivatePulseServer& server) {
    bench::ProgramRun run(CALMFIELD_PROGRAM_DIR);
    const auto start = std::chrono::ceil<std::chrono::minutes>(Clock::now() + 10s);
    writeRoutine(run, start);
    if (!run.start(kNothingTicked, "", server.address())) {
        std::fprintf(stderr, "bench_routines: %s\n", run.error().c_str());
        return -1;
    }
    testsupport::SourceRecorder recorder(server.address(), server.monitorSourceName(),
                                         server.sampleRate());
    std::this_thread::sleep_until(start - 2s);
    while (Clock::now() < start + 5s) {
        const auto piece = recorder.record(10ms);
        if (!piece.empty() && testsupport::rmsDecibels(piece) > -60)
            return std::chrono::duration<double>(Clock::now() - start).count();
    }
    return -1;
}

void waitingCost(testsupport::PrivatePulseServer& server, const std::string& display,
                 std::chrono::seconds waiting) {
    bench::ProgramRun run(CALMFIELD_PROGRAM_DIR);
    writeRoutine(run, std::chrono::ceil<std::chrono::minutes>(Clock::now()) + 12h);
    if (!run.start(kNothingTicked, display, server.address())) {
        std::fprintf(stderr, "bench_routines: %s\n", run.error().c_str());
        return;
    }
    std::this_thread::sleep_for(5s); // past start-up
    const auto before = bench::processorUseOf({run.pid()});
    std::this_thread::sleep_for(waiting);
    const auto after = bench::processorUseOf({run.pid()});
    if (!before || !after)
        return;
    const bench::ProcessorUse used = *after - *before;
    std::printf("waiting %lld s, %s: %.0f ticks, %.0f wake-ups (%.2f a second)\n",
                static_cast<long long>(waiting.count()),
                display.empty() ? "headless" : "window shown", used.ticks, used.wakeUps(),
                used.wakeUps() / static_cast<double>(waiting.count()));
}

} // namespace

int main(int argc, char* argv[]) {
    const std::chrono::seconds waiting{argc > 1 ? std::atoi(argv[1]) : 600};
    ::setenv("TZ", "UTC", 1);
    testsupport::PrivatePulseServer server;
    if (!server.start(48000)) {
        std::fprintf(stderr, "bench_routines: the private server did not start\n");
        return 1;
    }
    std::printf("a routine's sound began %.3f s after its start (goal: at most 1 s)\n",
                startError(server));
    waitingCost(server, "", waiting);
    bench::PrivateDisplay display;
    if (display.start())
        waitingCost(server, display.name(), waiting);
    return 0;
}
