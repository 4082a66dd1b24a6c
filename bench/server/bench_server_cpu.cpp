// How much processor time playing all five colours costs: this program (the engine and libpulse)
// and the sound server it plays through, each as a share of one core over the time played.
//
// Usage: bench_server_cpu [seconds to measure, default 30] [folder of the sound files]

#include "bench/ProcessorTime.h"
#include "engine/ChannelBank.h"
#include "platform/PulseSoundOutput.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/SourceRecorder.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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
using bench::ownProcessorTime;
using bench::Seconds;

constexpr double kTargetPercent = 1.0;
constexpr std::uint32_t kServerRate = 44100;

// User and system time of another process, from /proc/<pid>/stat.
std::optional<Seconds> processorTimeOf(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::vector<std::string> values{std::istream_iterator<std::string>(fields), {}};
    // After the name come the state (field 3) ... user time (field 14) and system time (15).
    if (values.size() < 13)
        return std::nullopt;
    const double ticks = std::stod(values[11]) + std::stod(values[12]);
    return Seconds(ticks / static_cast<double>(::sysconf(_SC_CLK_TCK)));
}

double percentOfOneCore(Seconds used, Seconds wall) {
    return 100.0 * used / wall;
}

} // namespace

int main(int argc, char** argv) {
    const double measureSeconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    const std::string folder = argc > 2 ? argv[2] : CALMFIELD_PROGRAM_DIR;
    if (measureSeconds <= 0.0) {
        std::fprintf(stderr, "usage: %s [seconds] [sound folder]\n", argv[0]);
        return 2;
    }

    testsupport::PrivatePulseServer server;
    if (!server.start(kServerRate)) {
        std::fprintf(stderr, "The test sound server did not start: %s\n", server.error().c_str());
        return 2;
    }
    platform::PulseSoundOutput output(server.address());
    engine::ChannelBank bank(output);
    if (!bank.openDevice()) {
        std::fprintf(stderr, "Could not play through the test sound server.\n");
        return 2;
    }
    const std::string problems = bank.createChannels(folder);
    int playing = 0;
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        if (auto* channel = bank.channel(colour)) {
            channel->Play();
            ++playing;
        }
    }
    if (playing < engine::kColourCount) {
        std::fprintf(stderr, "Only %d of %d colours can play:\n%s\n", playing, engine::kColourCount,
                     problems.c_str());
        return 2;
    }
    if (!testsupport::waitForSound(server.address(), server.monitorSourceName(), kServerRate,
                                   10s)) {
        std::fprintf(stderr, "No sound reached the test sound server.\n");
        return 2;
    }

    const auto wallBefore = std::chrono::steady_clock::now();
    const Seconds ownBefore = ownProcessorTime();
    const auto serverBefore = processorTimeOf(server.pid());
    std::this_thread::sleep_for(Seconds(measureSeconds));
    const auto serverAfter = processorTimeOf(server.pid());
    const Seconds ownAfter = ownProcessorTime();
    const Seconds wall = std::chrono::steady_clock::now() - wallBefore;

    if (!serverBefore || !serverAfter || output.connections() != 1 || output.sampleRate() == 0) {
        std::fprintf(stderr, "Playback broke off during the measurement.\n");
        return 2;
    }
    const double client = percentOfOneCore(ownAfter - ownBefore, wall);
    const double daemon = percentOfOneCore(*serverAfter - *serverBefore, wall);
    std::printf("Five colours playing for %.1f s at %u Hz, with %lld ms of latency:\n",
                wall.count(), output.sampleRate(),
                static_cast<long long>(platform::PulseSoundOutput::kLatency.count()));
    std::printf("  this program (engine and libpulse)  %6.2f %% of one core\n", client);
    std::printf("  sound server                        %6.2f %% of one core\n", daemon);
    std::printf(
        "  together                            %6.2f %% of one core (target: at most %.0f %%)\n",
        client + daemon, kTargetPercent);
    return client + daemon <= kTargetPercent ? 0 : 1;
}
