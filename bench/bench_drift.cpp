// What drift does to a mix over ten minutes at each speed, 6 dB deep, pulled at 48 kHz from the
// engine with the same course through the sounds with drift and without: pink alone and the five
// colours together, each with the span of its 1 s levels, the largest change of the 1 s level from
// one second to the next (the noise's own, without drift, beside it) and of the drift itself (the
// level against the same mix without drift), and the lowest 1 s level against the same mix without
// drift (with two or more colours, masking is to drop no more than 3 dB).
#include "engine/ChannelBank.h"
#include "files/StoredName.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/SignalAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using namespace calmfield;

constexpr std::uint32_t kRate = 48000;
constexpr int kSeconds = 600;

// Each second's level of `colours` at their volumes, with `drift`.
std::vector<double> secondLevels(const std::vector<int>& colours,
                                 const engine::DriftSetting& drift) {
    testsupport::MemorySoundOutput output(kRate);
    engine::ChannelBank bank(output, engine::WanderSeed{5});
    (void)bank.openDevice();
    for (const int colour : colours) {
        auto made = bank.createChannel(
            colour,
            files::resolveStoredName(CALMFIELD_PROGRAM_DIR,
                                     engine::kNoiseColours[engine::index(colour)].soundFile));
        if (!made.ok()) {
            std::fprintf(stderr, "bench_drift: the sound files are not built\n");
            std::exit(1);
        }
        made.value()->setVolume(-300 * colour - 600);
        made.value()->play();
    }
    bank.setDrift(drift);
    (void)output.pull(kRate); // past the channels' fade in
    std::vector<double> levels;
    for (int second = 0; second < kSeconds; ++second)
        levels.push_back(testsupport::rmsDecibels(output.pull(kRate)));
    return levels;
}

void report(const char* what, const std::vector<double>& drifting,
            const std::vector<double>& steady) {
    double largestChange = 0, noisesOwn = 0, driftsOwn = 0;
    double lowestAgainstSteady = 0;
    for (std::size_t second = 0; second < drifting.size(); ++second) {
        const double drift = drifting[second] - steady[second];
        if (second > 0) {
            largestChange =
                std::max(largestChange, std::abs(drifting[second] - drifting[second - 1]));
            noisesOwn = std::max(noisesOwn, std::abs(steady[second] - steady[second - 1]));
            driftsOwn =
                std::max(driftsOwn, std::abs(drift - (drifting[second - 1] - steady[second - 1])));
        }
        lowestAgainstSteady = std::min(lowestAgainstSteady, drift);
    }
    const auto [lowest, highest] = std::minmax_element(drifting.begin(), drifting.end());
    std::printf("  %-13s span %5.2f dB; largest change a second %4.2f dB (noise alone %4.2f, "
                "drift alone %4.2f); lowest %+6.2f dB against no drift\n",
                what, *highest - *lowest, largestChange, noisesOwn, driftsOwn, lowestAgainstSteady);
}

} // namespace

int main() {
    const std::vector<int> pink{1};
    const std::vector<int> five{0, 1, 2, 3, 4};
    const auto steadyPink = secondLevels(pink, {});
    const auto steadyFive = secondLevels(five, {});
    const char* names[] = {"slow", "medium", "fast"};
    for (int speed = 0; speed < 3; ++speed) {
        const engine::DriftSetting drift{true, 6, static_cast<engine::DriftSpeed>(speed),
                                         2718281828u};
        std::printf("%s, 6 dB deep:\n", names[speed]);
        report("pink alone", secondLevels(pink, drift), steadyPink);
        report("five colours", secondLevels(five, drift), steadyFive);
    }
    return 0;
}
