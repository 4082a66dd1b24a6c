// What the peak limiter at the end of the mix costs, with the five colours' own sound files all
// playing at full volume into a 48 kHz output: the processor time of mixing with and without it,
// and over one whole loop, through a flat tone or with one band at +12 dB, how much it changes the
// level and how many samples it touches.
#include "engine/ChannelMixer.h"
#include "engine/NoiseChannel.h"
#include "engine/NoiseColours.h"
#include "engine/PeakLimiter.h"
#include "engine/ToneStage.h"
#include "files/StoredName.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

using namespace calmfield;

constexpr std::uint32_t kOutputRate = 48000;
constexpr std::size_t kBlock = 480; // 10 ms

// The five colours, playing from their starts at their own rate and full volume.
class FiveColours {
  public:
    FiveColours() {
        for (const auto& colour : engine::kNoiseColours) {
            auto loaded = engine::loadSoundFile(
                files::resolveStoredName(CALMFIELD_PROGRAM_DIR, colour.soundFile));
            if (!loaded.ok())
                throw std::runtime_error("cannot play " + std::string(colour.soundFile));
            channels_.push_back(std::make_unique<engine::NoiseChannel>(loaded.value()));
            channels_.back()->play();
        }
    }

    // The voices' sum, as the mixer adds it up before it limits it.
    void mix(float* out, std::size_t frames, std::uint32_t rate) {
        std::fill_n(out, 2 * frames, 0.0f);
        for (auto& channel : channels_)
            channel->voice().mixInto(out, frames, rate);
    }

    // What plays, for the tone, as the mixer reckons it.
    engine::ToneMix toneMix() const {
        engine::ToneMix mix;
        for (std::size_t colour = 0; colour < channels_.size(); ++colour)
            mix.sources[colour] = channels_[colour]->voice().toneSource(
                engine::kNoiseColours[colour].spectrumSlopeDbPerOctave);
        return mix;
    }

    void attachTo(engine::ChannelMixer& mixer) {
        for (std::size_t slot = 0; slot < channels_.size(); ++slot)
            mixer.attach(static_cast<int>(slot), &channels_[slot]->voice());
    }

    std::size_t loopFrames(std::uint32_t rate) const {
        const auto& sound = channels_.front()->sound();
        return sound.frames() * rate / sound.sampleRate();
    }

  private:
    std::vector<std::unique_ptr<engine::NoiseChannel>> channels_;
};

void reportRealTime(benchmark::State& state) {
    const double seconds = static_cast<double>(state.iterations() * kBlock) / kOutputRate;
    state.counters["realtime_factor"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}

// The mix as it was before the limiter: the sum, clamped to full scale.
void BM_MixWithoutLimiter(benchmark::State& state) {
    FiveColours colours;
    std::vector<float> buffer(2 * kBlock);
    for (auto _ : state) {
        colours.mix(buffer.data(), kBlock, kOutputRate);
        for (float& sample : buffer)
            sample = std::clamp(sample, -1.0f, 1.0f);
        benchmark::DoNotOptimize(buffer.data());
    }
    reportRealTime(state);
}
BENCHMARK(BM_MixWithoutLimiter);

void BM_MixWithLimiter(benchmark::State& state) {
    FiveColours colours;
    engine::ChannelMixer mixer;
    colours.attachTo(mixer);
    std::vector<float> buffer(2 * kBlock);
    for (auto _ : state) {
        mixer.render(buffer.data(), kBlock, kOutputRate);
        benchmark::DoNotOptimize(buffer.data());
    }
    reportRealTime(state);
}
BENCHMARK(BM_MixWithLimiter);

// The limiter alone, on ten seconds of the mix taken block by block; copying each block in
// is part of what is timed.
void BM_LimiterAlone(benchmark::State& state) {
    FiveColours colours;
    std::vector<float> mix(2 * 10 * kOutputRate);
    colours.mix(mix.data(), mix.size() / 2, kOutputRate);
    engine::PeakLimiter limiter;
    std::vector<float> buffer(2 * kBlock);
    std::size_t at = 0;
    for (auto _ : state) {
        std::copy_n(&mix[at], buffer.size(), buffer.data());
        limiter.process(buffer.data(), kBlock, kOutputRate);
        benchmark::DoNotOptimize(buffer.data());
        at = (at + buffer.size()) % mix.size();
    }
    reportRealTime(state);
}
BENCHMARK(BM_LimiterAlone);

double decibels(double ratio) {
    return 20.0 * std::log10(ratio);
}

double rms(const float* samples, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(count));
}

// One whole loop of the sum through the tone against the same loop through the limiter, at the
// output rate given, with the tone flat or the band given (from 0 for 31.5 Hz) at +12 dB.
void BM_LevelEffectOverOneLoop(benchmark::State& state) {
    const auto rate = static_cast<std::uint32_t>(state.range(0));
    engine::ToneSetting setting;
    if (state.range(1) >= 0)
        setting.bandHalfDb[static_cast<std::size_t>(state.range(1))] =
            engine::ToneSetting::kHighestHalfDb;
    for (auto _ : state) {
        FiveColours colours;
        engine::ToneStage tone;
        tone.setTone(setting);
        const std::size_t frames = colours.loopFrames(rate);
        const std::size_t delay = engine::PeakLimiter::lookAheadFrames(rate);
        std::vector<float> sum(2 * (frames + delay));
        for (std::size_t at = 0; at < frames + delay; at += kBlock) {
            const std::size_t block = std::min(kBlock, frames + delay - at);
            colours.mix(&sum[2 * at], block, rate);
            tone.setMix(colours.toneMix());
            tone.process(&sum[2 * at], block, rate);
        }
        std::vector<float> limited = sum;
        engine::PeakLimiter limiter;
        for (std::size_t at = 0; at < frames + delay; at += kBlock)
            limiter.process(&limited[2 * at], std::min(kBlock, frames + delay - at), rate);

        const float* before = sum.data();
        const float* after = limited.data() + 2 * delay;
        std::size_t overFullScale = 0, overCeiling = 0, touched = 0, audiblyTouched = 0;
        std::size_t loweredOver1Db = 0;
        double lowestGain = 1.0;
        float highest = 0.0f;
        for (std::size_t i = 0; i < 2 * frames; ++i) {
            overFullScale += std::abs(before[i]) > 1.0f;
            overCeiling += std::abs(before[i]) > engine::PeakLimiter::kCeiling;
            highest = std::max(highest, std::abs(after[i]));
            if (after[i] == before[i])
                continue;
            ++touched;
            const double gain = static_cast<double>(after[i]) / before[i];
            audiblyTouched += decibels(gain) < -0.01;
            loweredOver1Db += decibels(gain) < -1.0;
            lowestGain = std::min(lowestGain, gain);
        }
        state.counters["sum_samples_over_full_scale"] = static_cast<double>(overFullScale);
        state.counters["sum_samples_over_ceiling"] = static_cast<double>(overCeiling);
        state.counters["samples_touched"] = static_cast<double>(touched);
        state.counters["samples_lowered_over_0.01dB"] = static_cast<double>(audiblyTouched);
        state.counters["samples_lowered_over_1dB"] = static_cast<double>(loweredOver1Db);
        state.counters["share_touched_%"] =
            100.0 * static_cast<double>(touched) / static_cast<double>(2 * frames);
        state.counters["largest_reduction_dB"] = decibels(lowestGain);
        state.counters["rms_before_dBFS"] = decibels(rms(before, 2 * frames));
        state.counters["rms_after_dBFS"] = decibels(rms(after, 2 * frames));
        state.counters["peak_after_dBFS"] = decibels(highest);
    }
}
BENCHMARK(BM_LevelEffectOverOneLoop)
    ->Args({22050, -1})
    ->Args({kOutputRate, -1})
    ->ArgsProduct({{kOutputRate}, benchmark::CreateDenseRange(0, 9, 1)})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
