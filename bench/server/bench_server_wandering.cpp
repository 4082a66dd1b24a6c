// Brown and pink noise recorded from a private PulseAudio server's sink, played straight and
// wandering: the highest correlation of the first difference with itself one file length later
// in 10 s windows, the standard deviation of the 1 s level, and the spectral slope. Run by hand:
//   bench/bench_server_wandering [seconds recorded for each]
#include "engine/ChannelBank.h"
#include "engine/NoiseColours.h"
#include "files/StoredName.h"
#include "sound/PulseSoundOutput.h"
#include "tests/support/NoiseRepeats.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/SignalAnalysis.h"
#include "tests/support/SourceRecorder.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace calmfield;
using namespace std::chrono_literals;

constexpr std::uint32_t kServerRate = 44100;

bool measure(testsupport::PrivatePulseServer& server, int colour, engine::WanderSeed seed,
             std::chrono::milliseconds duration) {
    const auto& noise = engine::kNoiseColours[static_cast<std::size_t>(colour)];
    sound::PulseSoundOutput output(server.address());
    engine::ChannelBank bank(output, seed);
    if (!bank.openDevice(5s).ok() ||
        !bank.createChannel(colour,
                            files::resolveStoredName(CALMFIELD_PROGRAM_DIR, noise.soundFile))
             .ok()) {
        std::printf("  FAILED: %s cannot be played through the server\n",
                    std::string(noise.name).c_str());
        return false;
    }
    engine::NoiseChannel& channel = *bank.channel(colour);
    channel.play();
    testsupport::SourceRecorder recorder(server.address(), server.monitorSourceName(), kServerRate);
    recorder.record(500ms); // what was on its way before the recording began
    const auto stereo = recorder.record(duration);
    if (stereo.empty()) {
        std::printf("  FAILED: the recording broke off: %s\n", recorder.error().c_str());
        return false;
    }
    std::vector<float> left(stereo.size() / 2);
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = stereo[2 * i];
    // The file's length at the rate played, in the server's frames.
    const auto period = static_cast<std::size_t>(
        static_cast<double>(channel.sound().frames()) * kServerRate / channel.frequency() + 0.5);
    const double repeat = testsupport::periodCorrelation(testsupport::firstDifference(left), period,
                                                         10 * kServerRate);
    const testsupport::LevelSpread level = testsupport::levelSpread(left, kServerRate);
    const double slope = testsupport::slopeDecibelsPerOctave(
        testsupport::averagedSpectrum(stereo, 2, kServerRate), 100.0, 5000.0);
    std::printf("  %-6s %-10s one file length later %.3f, 1 s level sd %.3f dB (range %.3f), "
                "slope %.2f dB/octave\n",
                std::string(noise.name).c_str(), seed ? "wandering" : "straight", repeat,
                level.deviation, level.range, slope);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const auto seconds = argc > 1 ? std::atoi(argv[1]) : 80;
    testsupport::PrivatePulseServer server;
    if (!server.start(kServerRate)) {
        std::printf("skipped: the server did not start: %s\n", server.error().c_str());
        return 0;
    }
    std::printf("%d s recorded from the sink of a private PulseAudio server at %u Hz\n", seconds,
                kServerRate);
    bool ok = true;
    for (int colour : {1, 0})
        for (engine::WanderSeed seed : {engine::WanderSeed{}, engine::seedFromClock()})
            ok = measure(server, colour, seed, std::chrono::seconds(seconds)) && ok;
    return ok ? 0 : 1;
}
