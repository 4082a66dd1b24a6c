// Whether a long take costs disk rather than memory: records what a private sound server plays
// for the given time, asking for the take's size as often as the recorder window does, and
// compares the program's resident memory at 10 s into the take with that at its end.
//
// Usage: bench_recorder_memory [seconds to record, default 600]

#include "recorder/CommandInterpreter.h"
#include "sound/PulseCaptureDevice.h"
#include "tests/support/PrivatePulseServer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace calmfield;

constexpr double kAllowedGrowthMegabytes = 5.0;
constexpr auto kEarlyMeasurement = 10s;
constexpr auto kSizePoll = 19ms;

// Resident memory of this process, from /proc/self/status, in megabytes.
double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    }
    return -1.0;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 600.0;
    if (seconds <= 10.0) {
        std::fprintf(stderr, "usage: %s [seconds to record, more than 10]\n", argv[0]);
        return 2;
    }
    testsupport::PrivatePulseServer server;
    if (!server.start(44100)) {
        std::fprintf(stderr, "The test sound server did not start: %s\n", server.error().c_str());
        return 2;
    }
    recorder::CommandInterpreter commands(
        [&] { return std::make_unique<sound::PulseCaptureDevice>(server.address()); }, ".");
    for (const char* command : {"open new type waveaudio alias capture", "seek capture to start",
                                "set capture samplespersec 44100", "set capture bitspersample 8",
                                "set capture channels 2", "record capture"}) {
        if (const auto reply = commands.send(command); !reply.succeeded()) {
            std::fprintf(stderr, "%s: %s\n", command, reply.reason.c_str());
            return 2;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    double early = -1.0;
    std::string length;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(kSizePoll);
        commands.send("set capture time format bytes");
        length = commands.send("status capture length").reply;
        if (early < 0.0 && std::chrono::steady_clock::now() - start >= kEarlyMeasurement)
            early = residentMegabytes();
    }
    const double late = residentMegabytes();
    const std::string mode = commands.send("status capture mode").reply;
    commands.send("close capture");
    if (mode != "recording") {
        std::fprintf(stderr, "The take ended early: the recorder says \"%s\".\n", mode.c_str());
        return 2;
    }
    std::printf("A take of %.0f s (%s bytes) through a private sound server:\n", seconds,
                length.c_str());
    std::printf("  resident memory after 10 s  %7.2f MB\n", early);
    std::printf("  resident memory at the end  %7.2f MB\n", late);
    std::printf("  growth                      %7.2f MB (target: at most %.0f MB)\n", late - early,
                kAllowedGrowthMegabytes);
    return late - early <= kAllowedGrowthMegabytes ? 0 : 1;
}
