// How much faster than real time the engine mixes five playing channels, each at its own
// playback rate, into a 48 kHz stereo output, on the best instructions the processor has and on
// the x86-64 baseline, wandering through their sounds and, for the cost of the wandering alone,
// looping straight; and the process's resident size with the five sounds loaded. Then how much
// faster than real time the master gain alone follows the sleep timer's fade, and the tone's stage
// alone shapes the mix with every band and the notch at work, and with the notch alone, beside the
// five channels mixed with every band and the notch; and the drift's stage alone.
#include "engine/BandLimitedInterpolation.h"
#include "engine/ChannelBank.h"
#include "engine/ColourGainStage.h"
#include "engine/MasterGain.h"
#include "engine/ToneStage.h"
#include "tests/support/MemorySoundOutput.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t kOutputRate = 48000;
constexpr std::size_t kSoundFrames = std::size_t{1} << 20;

std::filesystem::path writeNoiseFile(int colour) {
    std::mt19937 random(static_cast<unsigned>(colour) + 1);
    std::uniform_int_distribution<int> value(-12000, 12000);
    std::vector<short> samples(kSoundFrames * 2);
    for (auto& sample : samples)
        sample = static_cast<short>(value(random));
    const auto path = std::filesystem::temp_directory_path() /
                      ("calmfield-bench-" + std::to_string(colour) + ".wav");
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    sf_writef_short(file, samples.data(), static_cast<sf_count_t>(kSoundFrames));
    sf_close(file);
    return path;
}

// A tone that keeps every section of the stage at work.
calmfield::engine::ToneSetting everyBandAndTheNotch() {
    calmfield::engine::ToneSetting tone;
    for (std::size_t band = 0; band < tone.bandHalfDb.size(); ++band)
        tone.bandHalfDb[band] = band % 2 == 0 ? 7 : -5;
    tone.notch = true;
    return tone;
}

void BM_FiveChannelsAtFiveRates(benchmark::State& state) {
    calmfield::testsupport::MemorySoundOutput output(kOutputRate);
    calmfield::engine::ChannelBank bank(
        output, state.range(2) != 0 ? calmfield::engine::WanderSeed{1} : std::nullopt);
    (void)bank.openDevice();
    const int rates[] = {22050, 32767, 1000, 17000, 28000};
    for (int colour = 0; colour < calmfield::engine::kColourCount; ++colour) {
        const auto path = writeNoiseFile(colour);
        auto* channel = bank.createChannel(colour, path).value();
        std::filesystem::remove(path);
        channel->setFrequency(rates[colour]);
        channel->setVolume(-500 * colour);
        channel->setPan(-1000);
        channel->play();
    }
    if (state.range(3) != 0)
        bank.setTone(everyBandAndTheNotch());

    calmfield::engine::useInstructionSet(state.range(1) != 0
                                             ? calmfield::engine::bestInstructionSet()
                                             : calmfield::engine::InstructionSet::Baseline);
    auto& renderer = *output.renderer();
    const auto frames = static_cast<std::size_t>(state.range(0));
    std::vector<float> buffer(frames * 2);
    renderer.render(buffer.data(), frames, kOutputRate); // past the fade-in
    for (auto _ : state) {
        renderer.render(buffer.data(), frames, kOutputRate);
        benchmark::DoNotOptimize(buffer.data());
    }
    const double seconds = static_cast<double>(state.iterations() * frames) / kOutputRate;
    state.counters["realtime_factor"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_resident_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    calmfield::engine::useInstructionSet(calmfield::engine::bestInstructionSet());
}
// Frames per render, 1 for the best instructions or 0 for the baseline, 1 for wandering voices or 0
// for straight loops, and 1 for every band and the notch of the tone at work or 0 for a flat tone.
BENCHMARK(BM_FiveChannelsAtFiveRates)
    ->ArgsProduct({{480, 2400, 24000}, {1, 0}, {1, 0}, {0}})
    ->Args({2400, 1, 1, 1});

void BM_MasterGainFading(benchmark::State& state) {
    using calmfield::engine::MasterGain;
    MasterGain gain;
    const auto frames = static_cast<std::size_t>(state.range(0));
    std::vector<float> buffer(frames * 2, 0.5f);
    gain.rampTo(MasterGain::Part::Fade,
                {0.0f, std::chrono::seconds(60), MasterGain::Shape::Decibels});
    std::size_t rendered = 0;
    for (auto _ : state) {
        // Back to the start of the fade before its last second, so that every block is faded.
        if ((rendered += frames) > 59 * kOutputRate) {
            gain.rampTo(MasterGain::Part::Fade,
                        {1.0f, std::chrono::milliseconds(0), MasterGain::Shape::Linear});
            gain.apply(buffer.data(), 1, kOutputRate);
            gain.rampTo(MasterGain::Part::Fade,
                        {0.0f, std::chrono::seconds(60), MasterGain::Shape::Decibels});
            rendered = frames;
        }
        // Fresh samples each time, as the limiter hands them over, rather than ever smaller ones.
        std::fill(buffer.begin(), buffer.end(), 0.5f);
        gain.apply(buffer.data(), frames, kOutputRate);
        benchmark::DoNotOptimize(buffer.data());
    }
    const double seconds = static_cast<double>(state.iterations() * frames) / kOutputRate;
    state.counters["realtime_factor"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MasterGainFading)->Arg(2400);

// The drift's stage as the mixer runs it, a block of 512 frames at a time, five colours drifting
// fast, 12 dB deep.
void BM_ColourGainStage(benchmark::State& state) {
    calmfield::engine::ColourGainStage stage;
    stage.setDrift({.on = true, .depthDb = 12, .speed = calmfield::engine::DriftSpeed::Fast});
    const calmfield::engine::ColourGainStage::PerColour powers{0.1, 0.05, 0.03, 0.02, 0.01};
    const auto frames = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        for (std::size_t done = 0; done < frames; done += 512)
            stage.advance(std::min<std::size_t>(512, frames - done), kOutputRate, powers);
        benchmark::DoNotOptimize(stage.gain(0));
    }
    const double seconds = static_cast<double>(state.iterations() * frames) / kOutputRate;
    state.counters["realtime_factor"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ColourGainStage)->Arg(2400);

void BM_ToneStage(benchmark::State& state) {
    calmfield::engine::useInstructionSet(state.range(1) != 0
                                             ? calmfield::engine::bestInstructionSet()
                                             : calmfield::engine::InstructionSet::Baseline);
    calmfield::engine::ToneStage stage;
    calmfield::engine::ToneSetting notchAlone;
    notchAlone.notch = true;
    stage.setTone(state.range(2) != 0 ? notchAlone : everyBandAndTheNotch());
    const auto frames = static_cast<std::size_t>(state.range(0));
    std::mt19937 random(1);
    std::uniform_real_distribution<float> value(-0.3f, 0.3f);
    std::vector<float> noise(frames * 2);
    for (auto& sample : noise)
        sample = value(random);
    std::vector<float> buffer(frames * 2);
    for (auto _ : state) {
        // The mixer hands the stage a fresh block each time, never the stage's own output.
        std::copy(noise.begin(), noise.end(), buffer.begin());
        stage.process(buffer.data(), frames, kOutputRate);
        benchmark::DoNotOptimize(buffer.data());
    }
    const double seconds = static_cast<double>(state.iterations() * frames) / kOutputRate;
    state.counters["realtime_factor"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
    calmfield::engine::useInstructionSet(calmfield::engine::bestInstructionSet());
}
// Frames per render; 1 for the best instructions or 0 for the baseline; 0 for every band and the
// notch at work, 1 for the notch alone.
BENCHMARK(BM_ToneStage)->ArgsProduct({{2400}, {1, 0}, {0, 1}});

} // namespace

BENCHMARK_MAIN();
