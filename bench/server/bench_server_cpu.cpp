// What the program costs the machine through each sound server it can start here: classic
// PulseAudio and PipeWire (with pipewire-pulse), each private to this run. For each, three phases
// of the same length: the server alone with no client, the program's output open with nothing
// ticked, and all five colours playing. For each phase, the processor time of this program (the
// engine and libpulse) and of the server's processes, as a share of one core and in clock ticks
// per 20 s, with the scheduler's nanosecond counts (as in /proc/PID/schedstat) where the kernel
// gives them.
//
// Usage: bench_server_cpu [seconds for each phase, default 60] [folder of the sound files]
// Targets are only reported; the exit status is 0 unless a measurement could not be made.

#include "engine/ChannelBank.h"
#include "platform/PulseSoundOutput.h"
#include "tests/support/PrivatePipeWireServer.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/SourceRecorder.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace calmfield;
using Seconds = std::chrono::duration<double>;

constexpr double kIdleTargetPercent = 0.1; // over the server alone
constexpr double kPulseFiveColoursTargetPercent = 0.5;
constexpr double kPipeWireProgramTargetPercent = 0.15; // 3 ticks per 20 s
// Program and PipeWire together with five colours playing before the program's costs were cut:
// the middle of three 60 s runs here (1.11, 1.13 and 1.44 %, 150 ms of latency, December 2026).
// Later versions must not cost more.
constexpr double kPipeWireFiveColoursBeforePercent = 1.13;
// Lets the start-up of a server, or of the program's stream, pass before measuring.
constexpr Seconds kSettle = 2s;

// Processor time used so far, in the kernel's two counts of it.
struct ProcessorUse {
    double ticks = 0.0;                     // user and system time, /proc/PID/stat
    std::optional<double> nanoseconds{0.0}; // time on a processor, where the kernel tells it
};

ProcessorUse operator-(const ProcessorUse& after, const ProcessorUse& before) {
    ProcessorUse used{after.ticks - before.ticks, std::nullopt};
    if (after.nanoseconds && before.nanoseconds)
        used.nanoseconds = *after.nanoseconds - *before.nanoseconds;
    return used;
}

ProcessorUse operator+(const ProcessorUse& a, const ProcessorUse& b) {
    ProcessorUse sum{a.ticks + b.ticks, std::nullopt};
    if (a.nanoseconds && b.nanoseconds)
        sum.nanoseconds = *a.nanoseconds + *b.nanoseconds;
    return sum;
}

std::string contentOf(const std::filesystem::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Empty when the process has ended.
std::optional<double> ticksOf(pid_t pid) {
    const std::string text = contentOf("/proc/" + std::to_string(pid) + "/stat");
    const auto nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::vector<std::string> values{std::istream_iterator<std::string>(fields), {}};
    // After the name come the state (field 3) ... user time (field 14) and system time (15).
    if (values.size() < 13)
        return std::nullopt;
    return std::stod(values[11]) + std::stod(values[12]);
}

// The scheduler's count of the process's time on a processor, the one /proc/PID/schedstat gives
// for a single thread, here for all of them, those that have ended included.
std::optional<double> nanosecondsOf(pid_t pid) {
    clockid_t clock{};
    timespec used{};
    if (::clock_getcpuclockid(pid, &clock) != 0 || ::clock_gettime(clock, &used) != 0)
        return std::nullopt;
    return static_cast<double>(used.tv_sec) * 1e9 + static_cast<double>(used.tv_nsec);
}

// Empty when one of the processes has ended.
std::optional<ProcessorUse> processorUseOf(const std::vector<pid_t>& pids) {
    ProcessorUse sum;
    for (const pid_t pid : pids) {
        const auto ticks = ticksOf(pid);
        if (!ticks)
            return std::nullopt;
        sum = sum + ProcessorUse{*ticks, nanosecondsOf(pid)};
    }
    return sum;
}

struct Share {
    double percent;     // of one core, from the finest count there is
    double ticksPer20s; // the unit a user sees in top and ps
    bool fromNanoseconds;
};

Share shareOf(const ProcessorUse& used, Seconds wall) {
    const double ticksPerSecond = static_cast<double>(::sysconf(_SC_CLK_TCK));
    const double ticksPer20s = used.ticks * 20.0 / wall.count();
    if (used.nanoseconds)
        return {100.0 * *used.nanoseconds / 1e9 / wall.count(), ticksPer20s, true};
    return {100.0 * used.ticks / ticksPerSecond / wall.count(), ticksPer20s, false};
}

struct Phase {
    ProcessorUse program;
    ProcessorUse server;
    Seconds wall{};
};

std::optional<Phase> measure(const std::vector<pid_t>& serverPids, Seconds window) {
    const std::vector<pid_t> program{::getpid()};
    const auto wallBefore = std::chrono::steady_clock::now();
    const auto programBefore = processorUseOf(program);
    const auto serverBefore = processorUseOf(serverPids);
    std::this_thread::sleep_for(window);
    const auto serverAfter = processorUseOf(serverPids);
    const auto programAfter = processorUseOf(program);
    const Seconds wall = std::chrono::steady_clock::now() - wallBefore;
    if (!programBefore || !serverBefore || !serverAfter || !programAfter)
        return std::nullopt;
    return Phase{*programAfter - *programBefore, *serverAfter - *serverBefore, wall};
}

void printLine(const char* what, const Share& share) {
    std::printf("    %-18s %7.3f %% of one core  %6.2f ticks per 20 s%s\n", what, share.percent,
                share.ticksPer20s, share.fromNanoseconds ? "" : "  (from ticks only)");
}

void printTarget(const char* what, double percent, double targetPercent) {
    std::printf("    target: %s at most %.2f %%: %.3f %%, %s\n", what, targetPercent, percent,
                percent <= targetPercent ? "met" : "MISSED");
}

// Prints the phase; gives its program and server together as a share of one core.
double report(const char* title, const Phase& phase, const Phase* baseline) {
    const Share program = shareOf(phase.program, phase.wall);
    const Share server = shareOf(phase.server, phase.wall);
    const Share together = shareOf(phase.program + phase.server, phase.wall);
    std::printf("  %s, %.1f s:\n", title, phase.wall.count());
    printLine("program", program);
    printLine("server", server);
    printLine("together", together);
    if (baseline != nullptr) {
        const Share base = shareOf(baseline->program + baseline->server, baseline->wall);
        std::printf("    %-18s %7.3f %% of one core  %6.2f ticks per 20 s\n", "over server alone",
                    together.percent - base.percent, together.ticksPer20s - base.ticksPer20s);
    }
    return together.percent;
}

enum class Outcome { Measured, Skipped, Failed };

// Runs the three phases against a server already started; prints them with their targets.
template <typename Server>
Outcome measureOn(Server& server, bool pipeWire, Seconds window,
                  const std::filesystem::path& folder) {
    std::this_thread::sleep_for(kSettle);
    const auto alone = measure(server.pids(), window);
    if (!alone) {
        std::printf("  FAILED: the server ended while it ran alone.\n");
        return Outcome::Failed;
    }

    platform::PulseSoundOutput output(server.address());
    engine::ChannelBank bank(output);
    if (!bank.openDevice()) {
        std::printf("  FAILED: the program could not play through the server.\n");
        return Outcome::Failed;
    }
    const auto unusable = bank.createChannels(folder);
    std::this_thread::sleep_for(kSettle);
    const unsigned connections = output.connections();
    const auto idle = measure(server.pids(), window);
    if (!idle || output.connections() != connections) {
        std::printf("  FAILED: the connection broke off with nothing ticked.\n");
        return Outcome::Failed;
    }

    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        auto* channel = bank.channel(colour);
        if (channel == nullptr) {
            std::printf("  FAILED: not every colour can play:\n");
            for (const auto& file : unusable)
                std::printf("    %s\n", file.file.c_str());
            return Outcome::Failed;
        }
        channel->Play();
    }
    if (!testsupport::waitForSound(server.address(), server.monitorSourceName(),
                                   server.sampleRate(), 10s)) {
        std::printf("  FAILED: no sound reached the server.\n");
        return Outcome::Failed;
    }
    std::this_thread::sleep_for(kSettle);
    const unsigned playingConnections = output.connections();
    const auto playing = measure(server.pids(), window);
    if (!playing || output.connections() != playingConnections || output.sampleRate() == 0) {
        std::printf("  FAILED: playback broke off during the measurement.\n");
        return Outcome::Failed;
    }

    std::printf("  at %u Hz, with %lld ms of latency\n", output.sampleRate(),
                static_cast<long long>(platform::PulseSoundOutput::kLatency.count()));
    const double base = report("server alone, no client", *alone, nullptr);
    const double nothingTicked = report("output open, nothing ticked", *idle, &*alone);
    printTarget("nothing ticked, over the server alone,", nothingTicked - base, kIdleTargetPercent);
    const double fiveColours = report("five colours playing", *playing, &*alone);
    if (pipeWire) {
        printTarget("the program alone", shareOf(playing->program, playing->wall).percent,
                    kPipeWireProgramTargetPercent);
        printTarget("together, no more than before,", fiveColours,
                    kPipeWireFiveColoursBeforePercent);
    } else {
        printTarget("together", fiveColours, kPulseFiveColoursTargetPercent);
    }
    return Outcome::Measured;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    const std::filesystem::path folder = argc > 2 ? argv[2] : CALMFIELD_PROGRAM_DIR;
    if (seconds <= 0.0) {
        std::fprintf(stderr, "usage: %s [seconds for each phase] [sound folder]\n", argv[0]);
        return 2;
    }
    const Seconds window(seconds);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each phase shows as soon as it is measured
    std::vector<Outcome> outcomes;

    std::printf("PulseAudio:\n");
    {
        testsupport::PrivatePulseServer server;
        if (server.start(44100)) {
            outcomes.push_back(measureOn(server, false, window, folder));
        } else {
            std::printf("  skipped: it did not start: %s\n", server.error().c_str());
            outcomes.push_back(Outcome::Skipped);
        }
    }

    std::printf("PipeWire:\n");
    if (const std::string missing = testsupport::PrivatePipeWireServer::missingProgram();
        !missing.empty()) {
        std::printf("  skipped: %s is not installed\n", missing.c_str());
        outcomes.push_back(Outcome::Skipped);
    } else {
        testsupport::PrivatePipeWireServer server;
        if (server.start(48000)) {
            outcomes.push_back(measureOn(server, true, window, folder));
        } else {
            std::printf("  skipped: it did not start: %s\n", server.error().c_str());
            outcomes.push_back(Outcome::Skipped);
        }
    }

    const auto count = [&](Outcome outcome) {
        return std::count(outcomes.begin(), outcomes.end(), outcome);
    };
    if (count(Outcome::Failed) > 0)
        return 2;
    if (count(Outcome::Measured) == 0) {
        std::fprintf(stderr, "No sound server could be measured.\n");
        return 2;
    }
    return 0;
}
