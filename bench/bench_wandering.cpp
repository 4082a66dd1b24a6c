// How the voices' wandering changes brown and pink noise, read straight from their sound files at
// their own rate for ten minutes into memory, for the lengths the program uses and a few others:
// - the highest correlation of the first difference, in 10 s windows, one and two file lengths
//   later (a straight loop gives 1);
// - the standard deviation and range of the 1 s level, and the level during crossfades against
//   the level between them;
// - the spectral slope and the largest sample-to-sample step;
// and how closely and how often any 10 s window comes back later: the highest correlation between
// windows starting every 10 s and any later stretch, searched at an eighth of the rate on the first
// difference below a quarter of it.
#include "engine/NoiseColours.h"
#include "engine/WanderingReader.h"
#include "files/StoredName.h"
#include "tests/support/NoiseRepeats.h"
#include "tests/support/SignalAnalysis.h"
#include "tools/Fft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace calmfield;

constexpr double kSeconds = 600.0;
constexpr std::size_t kDecimation = 8;
constexpr std::size_t kBlock = 256;

struct Played {
    std::vector<float> left;
    std::vector<bool> crossfading; // per block of kBlock frames
};

Played play(const engine::SoundBuffer& sound, engine::WanderSeed seed,
            engine::WanderLengths lengths) {
    engine::WanderingReader reader(sound, seed, lengths);
    const auto frames = static_cast<std::size_t>(kSeconds * sound.sampleRate()) / kBlock * kBlock;
    Played played;
    played.left.resize(frames);
    std::vector<float> block(2 * kBlock);
    const engine::WanderingReader::Reading reading{std::uint64_t{1} << 32, 1.0f};
    for (std::size_t at = 0; at < frames; at += kBlock) {
        played.crossfading.push_back(reader.crossfading());
        std::fill(block.begin(), block.end(), 0.0f);
        reader.mix(block.data(), kBlock, reading, 1.0f / 32768, 1.0f / 32768);
        for (std::size_t i = 0; i < kBlock; ++i)
            played.left[at + i] = block[2 * i];
    }
    return played;
}

double powerDb(double power) {
    return 10.0 * std::log10(power + 1e-30);
}

struct Measures {
    double loopCorrelation = 0;
    double levelDeviation = 0;
    double levelRange = 0;
    double crossfadeLevel = 0; // during crossfades against between them, dB
    double slope = 0;
    double largestStep = 0;
};

Measures measure(const Played& played, std::size_t rate, std::size_t period) {
    Measures m;
    const auto steps = testsupport::firstDifference(played.left);
    m.loopCorrelation = testsupport::periodCorrelation(steps, period, 10 * rate);
    const testsupport::LevelSpread level = testsupport::levelSpread(played.left, rate);
    m.levelDeviation = level.deviation;
    m.levelRange = level.range;

    double power[2] = {};
    double blocks[2] = {};
    for (std::size_t b = 0; b < played.crossfading.size(); ++b) {
        const int in = played.crossfading[b] ? 1 : 0;
        for (std::size_t i = b * kBlock; i < (b + 1) * kBlock; ++i)
            power[in] += static_cast<double>(played.left[i]) * played.left[i];
        blocks[in] += 1;
    }
    m.crossfadeLevel =
        blocks[1] > 0 ? powerDb(power[1] / blocks[1]) - powerDb(power[0] / blocks[0]) : 0.0;
    m.slope = testsupport::slopeDecibelsPerOctave(
        testsupport::averagedSpectrum(played.left, 1, static_cast<double>(rate)), 50.0, 5000.0);
    for (double step : steps)
        m.largestStep = std::max(m.largestStep, std::abs(step));
    return m;
}

// The first difference low-passed below a quarter of the decimated rate and decimated.
std::vector<double> decimatedSteps(const std::vector<float>& x) {
    constexpr int kHalfTaps = 64;
    const double cutoff = 0.25 / kDecimation; // of the full rate
    std::vector<double> taps(2 * kHalfTaps + 1);
    for (int k = -kHalfTaps; k <= kHalfTaps; ++k) {
        const double sinc =
            k == 0 ? 2 * cutoff
                   : std::sin(2 * std::numbers::pi * cutoff * k) / (std::numbers::pi * k);
        const double hann = 0.5 + 0.5 * std::cos(std::numbers::pi * k / (kHalfTaps + 1));
        taps[static_cast<std::size_t>(k + kHalfTaps)] = sinc * hann;
    }
    const auto steps = testsupport::firstDifference(x);
    std::vector<double> out;
    for (std::size_t at = 0; at + taps.size() <= steps.size(); at += kDecimation) {
        double sum = 0;
        for (std::size_t k = 0; k < taps.size(); ++k)
            sum += taps[k] * steps[at + k];
        out.push_back(sum);
    }
    return out;
}

struct Recurrence {
    double highest = 0;
    double shareAboveHalf = 0; // of the windows, those with a later match above 0.5
    double median = 0;         // of the windows' best later matches
};

// For windows starting every `window` samples, the best correlation with any later stretch that
// does not overlap it, found through the transform of the whole.
Recurrence recurrence(const std::vector<double>& y, std::size_t window) {
    std::size_t size = 1;
    while (size < y.size() + window)
        size *= 2;
    std::vector<std::complex<double>> whole(size);
    std::copy(y.begin(), y.end(), whole.begin());
    tools::forwardFft(whole);
    std::vector<double> energy(y.size() + 1, 0.0); // prefix sums of squares
    for (std::size_t i = 0; i < y.size(); ++i)
        energy[i + 1] = energy[i] + y[i] * y[i];

    std::vector<double> best;
    for (std::size_t at = 0; at + 2 * window <= y.size(); at += window) {
        std::vector<std::complex<double>> part(size);
        std::copy(y.begin() + static_cast<long>(at), y.begin() + static_cast<long>(at + window),
                  part.begin());
        tools::forwardFft(part);
        for (std::size_t k = 0; k < size; ++k)
            part[k] = std::conj(part[k]) * whole[k];
        tools::inverseFft(part); // part[k] = sum over n of y[at + n] y[k + n]
        const double own = energy[at + window] - energy[at];
        double highest = 0;
        for (std::size_t k = at + window; k + window <= y.size(); ++k) {
            const double other = energy[k + window] - energy[k];
            highest = std::max(highest, part[k].real() / std::sqrt(own * other));
        }
        best.push_back(highest);
    }
    Recurrence r;
    r.highest = *std::max_element(best.begin(), best.end());
    r.shareAboveHalf = static_cast<double>(std::count_if(best.begin(), best.end(),
                                                         [](double c) { return c > 0.5; })) /
                       static_cast<double>(best.size());
    std::nth_element(best.begin(), best.begin() + static_cast<long>(best.size() / 2), best.end());
    r.median = best[best.size() / 2];
    return r;
}

} // namespace

int main() {
    struct Candidate {
        const char* name;
        std::optional<engine::WanderLengths> lengths; // none: straight
    };
    const engine::WanderLengths program;
    const Candidate candidates[] = {
        {"straight loop", std::nullopt},
        {"program: 8-20 s, 1 s", program},
        {"8-20 s, 0.5 s", engine::WanderLengths{8, 20, 0.5}},
        {"8-20 s, 2 s", engine::WanderLengths{8, 20, 2}},
        {"4-10 s, 1 s", engine::WanderLengths{4, 10, 1}},
        {"15-30 s, 1 s", engine::WanderLengths{15, 30, 1}},
    };
    for (int colour : {0, 1}) {
        const auto& noise = engine::kNoiseColours[static_cast<std::size_t>(colour)];
        const auto loaded =
            engine::loadSoundFile(files::resolveStoredName(CALMFIELD_PROGRAM_DIR, noise.soundFile));
        if (!loaded.ok()) {
            std::fprintf(stderr, "cannot load %s\n", std::string(noise.soundFile).c_str());
            return 1;
        }
        const engine::SoundBuffer& sound = *loaded.value();
        const std::size_t rate = sound.sampleRate();
        std::printf("%s noise, %.2f s at %zu Hz, %.0f s played\n", std::string(noise.name).c_str(),
                    static_cast<double>(sound.frames()) / static_cast<double>(rate), rate,
                    kSeconds);
        std::printf("  %-22s %9s %9s %9s %10s %8s %9s %12s\n", "lengths", "loop corr", "level sd",
                    "range", "xfade dB", "slope", "max step", "any-window");
        for (const auto& candidate : candidates) {
            const engine::WanderSeed seed =
                candidate.lengths ? engine::WanderSeed{20} : std::nullopt;
            const Played played = play(sound, seed, candidate.lengths.value_or(program));
            const Measures m = measure(played, rate, sound.frames());
            std::printf("  %-22s %9.4f %9.3f %9.3f %10.3f %8.3f %9.4f", candidate.name,
                        m.loopCorrelation, m.levelDeviation, m.levelRange, m.crossfadeLevel,
                        m.slope, m.largestStep);
            const Recurrence r = recurrence(decimatedSteps(played.left), 10 * rate / kDecimation);
            std::printf("  highest %.3f, median %.3f, %.0f%% of windows above 0.5", r.highest,
                        r.median, 100.0 * r.shareAboveHalf);
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    // Recordings shorter than the longest stretch and its crossfade, cut from the pink noise.
    const auto pink = engine::loadSoundFile(
        files::resolveStoredName(CALMFIELD_PROGRAM_DIR, engine::kNoiseColours[1].soundFile));
    if (!pink.ok())
        return 1;
    const std::size_t rate = pink.value()->sampleRate();
    std::printf("pink noise cut short, %.0f s played\n  %-22s %9s\n", kSeconds, "file",
                "loop corr");
    for (const std::size_t seconds : {5u, 10u, 20u}) {
        std::vector<std::int16_t> samples(2 * seconds * rate);
        for (std::size_t i = 0; i < seconds * rate; ++i) {
            samples[2 * i] = pink.value()->left(i);
            samples[2 * i + 1] = pink.value()->right(i);
        }
        const engine::SoundBuffer cut(std::move(samples), static_cast<std::uint32_t>(rate));
        for (const bool wandering : {false, true}) {
            const Played played = play(cut, wandering ? engine::WanderSeed{20} : std::nullopt,
                                       engine::WanderLengths{});
            const auto steps = testsupport::firstDifference(played.left);
            std::printf("  %2zu s, %-16s %9.4f\n", seconds, wandering ? "program" : "straight loop",
                        testsupport::periodCorrelation(steps, cut.frames(), 10 * rate));
            std::fflush(stdout);
        }
    }
    return 0;
}
