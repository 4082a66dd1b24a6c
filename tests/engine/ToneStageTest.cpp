#include "engine/ToneStage.h"
#include "BankFixture.h"
#include "engine/BandLimitedInterpolation.h"
#include "engine/ToneDesign.h"
#include "tests/support/SignalAnalysis.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace calmfield {
namespace {

using engine::ToneSetting;

// Stereo Gaussian noise at `rms`; with `memory` above 0 it is low-passed by one pole, so that
// one sample's step to the next is small beside its level.
std::vector<float> noise(std::size_t frames, double rms, double memory = 0.0) {
    std::mt19937 random(7);
    std::normal_distribution<double> value(0.0, rms * std::sqrt(1.0 - memory * memory));
    std::vector<float> samples(2 * frames);
    double held[2] = {};
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(held[i % 2] = memory * held[i % 2] + value(random));
    return samples;
}

// Shapes `in` as the mixer does, a block at a time.
std::vector<float> shaped(engine::ToneStage& stage, std::vector<float> in, std::uint32_t rate) {
    for (std::size_t done = 0; done < in.size() / 2; done += 512)
        stage.process(in.data() + 2 * done, std::min<std::size_t>(512, in.size() / 2 - done), rate);
    return in;
}

ToneSetting bands(std::initializer_list<std::pair<std::size_t, int>> halfDb) {
    ToneSetting tone;
    for (auto [band, value] : halfDb)
        tone.bandHalfDb[band] = value;
    return tone;
}

// Every band at +12 dB and -12 dB in turn, from -12 dB at 31.5 Hz, or the other way round.
ToneSetting alternating(int first = -24) {
    ToneSetting tone;
    for (std::size_t band = 0; band < ToneSetting::kBandCount; ++band)
        tone.bandHalfDb[band] = band % 2 == 0 ? first : -first;
    return tone;
}

ToneSetting everyBandAt6Db() {
    ToneSetting tone;
    tone.bandHalfDb.fill(12);
    return tone;
}

// White noise at `rms` over the whole band of `rate`, as the tone's input is lowered for it.
engine::ToneMix white(double rms, std::uint32_t rate) {
    engine::ToneMix mix;
    mix.sources[2] = {rms * rms, 0.0, 20.0, 0.5 * rate};
    return mix;
}

double meanSquare(const std::vector<float>& samples) {
    double sum = 0.0;
    for (const float sample : samples)
        sum += static_cast<double>(sample) * sample;
    return sum / static_cast<double>(samples.size());
}

// The input is lowered by the tone's power gain over what plays: a boost comes out louder than
// the rest, and the whole no louder than through a flat tone.
TEST(ToneStage, MeetsEverySettingAndKeepsABoostedMixAsLoudAsAFlatOne) {
    struct Expected {
        double hz, lowestDb, highestDb;
    };
    struct Case {
        std::uint32_t rate;
        ToneSetting tone;
        std::vector<Expected> expected;
    };
    std::vector<Case> cases;
    const auto allAt6Db = [](double highestHz) {
        std::vector<Expected> everywhere;
        for (double hz = 31.5; hz <= highestHz * 1.001; hz *= std::exp2(1.0 / 6.0))
            everywhere.push_back({hz, 5.5, 6.5});
        return everywhere;
    };
    for (std::uint32_t rate : {44100u, 48000u}) {
        for (std::size_t band = 0; band < ToneSetting::kBandCount; ++band)
            cases.push_back(
                {rate, bands({{band, 12}}), {{ToneSetting::kBandCentres[band], 5.5, 6.5}}});
        cases.push_back({rate, everyBandAt6Db(), allAt6Db(16000.0)});
        ToneSetting notch;
        notch.notch = true;
        cases.push_back(
            {rate, notch, {{4000.0, -300.0, -30.0}, {2000.0, -3.0, 0.0}, {8000.0, -3.0, 0.0}}});
    }
    // Bands pulling hard against each other still meet their settings within 1 dB.
    std::vector<Expected> alternatingExpected;
    for (std::size_t band = 0; band < ToneSetting::kBandCount; ++band) {
        const double db = alternating().bandDb(band);
        alternatingExpected.push_back({ToneSetting::kBandCentres[band], db - 1.0, db + 1.0});
    }
    cases.push_back({44100, alternating(), alternatingExpected});
    // At 22 050 Hz the 16 kHz band cannot be shaped and stays flat; the rest still are.
    cases.push_back({22050, everyBandAt6Db(), allAt6Db(8000.0)});

    const auto in = noise(std::size_t{1} << 18, 0.1);
    for (const Case& test : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "at " << test.rate << " Hz, case " << &test - cases.data());
        // The cases at 48 kHz run on the instructions every processor has.
        engine::useInstructionSet(test.rate == 48000 ? engine::InstructionSet::Baseline
                                                     : engine::bestInstructionSet());
        engine::ToneStage stage;
        stage.setTone(test.tone);
        stage.setMix(white(0.1, test.rate));
        // A moment at another rate first, as when the output moves to another device.
        shaped(stage, noise(512, 0.1), test.rate == 22050 ? 48000 : 22050);
        const auto out = shaped(stage, in, test.rate);
        engine::useInstructionSet(engine::bestInstructionSet());
        const auto inSpectrum = testsupport::averagedSpectrum(in, 2, test.rate, 16384);
        const auto outSpectrum = testsupport::averagedSpectrum(out, 2, test.rate, 16384);
        // The response in the bin nearest `hz`: the same noise went in, so their ratio is close.
        const auto responseDb = [&](double hz) {
            const auto bin = static_cast<std::size_t>(std::lround(hz / inSpectrum.binWidthHz));
            return 10.0 * std::log10(outSpectrum.power[bin] / inSpectrum.power[bin]);
        };
        const auto design = engine::ToneDesign::of(test.tone, test.rate, white(0.1, test.rate));
        const double headroomDb = -20.0 * std::log10(design.inputGain);
        for (const Expected& point : test.expected) {
            const double db = responseDb(point.hz) + headroomDb;
            EXPECT_GE(db, point.lowestDb) << point.hz << " Hz";
            EXPECT_LE(db, point.highestDb) << point.hz << " Hz";
        }
        // What the tone adds in all is taken off the input; what it takes away is not made up.
        const double addedDb = 10.0 * std::log10(meanSquare(out) / meanSquare(in));
        const double powerGainDb =
            10.0 * std::log10(design.powerGain(white(0.1, test.rate), test.rate));
        EXPECT_NEAR(addedDb, std::min(0.0, powerGainDb), 0.3);
    }
}

// The notch takes its octave out with a flat bottom and steep edges, and nothing else. Where the
// upper quarter of its octave lies above 0.45 of the rate, only its lower half keeps its shape.
TEST(ToneDesign, TakesTheNotchsWholeOctaveOutAndLeavesTheRest) {
    for (std::uint32_t rate : {44100u, 48000u}) {
        for (int step : {0, 36, 55}) { // 500 Hz, 4 kHz, 12.2 kHz
            for (int depth : {10, 40}) {
                ToneSetting tone;
                tone.notch = true;
                tone.notchStep = step;
                tone.notchDepthDb = depth;
                const double centre = tone.notchCentreHz();
                const bool whole = centre * std::exp2(0.75) <= 0.45 * rate;
                SCOPED_TRACE(::testing::Message()
                             << centre << " Hz, " << depth << " dB deep at " << rate << " Hz");
                const auto design = engine::ToneDesign::of(tone, rate, white(0.1, rate));
                const auto cutAt = [&](double octaves) {
                    return -design.responseDb(centre * std::exp2(octaves), rate);
                };
                for (double side : {-1.0, 1.0}) {
                    if (side > 0 && !whole)
                        continue;
                    for (double octaves = 0.0; octaves <= 1.0 / 3.0; octaves += 1.0 / 48.0)
                        EXPECT_GE(cutAt(side * octaves), depth) << side * octaves << " octaves";
                    EXPECT_GE(cutAt(side * 0.5), depth / 2.0);
                    for (double octaves = 0.75;
                         centre * std::exp2(side * octaves) < 0.45 * rate && octaves < 6.0;
                         octaves += 1.0 / 24.0)
                        EXPECT_LE(cutAt(side * octaves), 3.0) << side * octaves << " octaves";
                }
                double highest = -100.0;
                for (double hz = 20.0; hz < 0.5 * rate; hz *= std::exp2(1.0 / 48.0))
                    highest = std::max(highest, design.responseDb(hz, rate));
                EXPECT_LE(highest, 0.5) << "no ripple above the passband";
            }
        }
    }
}

TEST(ToneStage, GlidesEveryChangeWithoutAStepAndPassesAFlatToneUntouched) {
    constexpr std::uint32_t kRate = 48000;
    const auto in = noise(kRate * 3 / 2, 0.2, 0.995);
    ToneSetting inverse = alternating(24);
    inverse.notch = true;

    engine::ToneStage stage;
    std::vector<float> out(in.size());
    const std::size_t third = in.size() / 3;
    const auto shapeThird = [&](std::size_t part, const ToneSetting& tone,
                                const engine::ToneMix& mix) {
        stage.setTone(tone);
        stage.setMix(mix);
        std::copy_n(in.begin() + part * third, third, out.begin() + part * third);
        for (std::size_t done = 0; done < third; done += 2 * 480)
            stage.process(out.data() + part * third + done, 480, kRate);
    };
    // What plays changes too, and with it how far the input is lowered.
    engine::ToneMix brown;
    brown.sources[0] = {0.04, -6.0, 20.0, 16000.0};
    shapeThird(0, alternating(), white(0.2, kRate));
    shapeThird(1, inverse, brown);
    shapeThird(2, ToneSetting{}, white(0.2, kRate));

    const auto largestStep = [](const std::vector<float>& samples) {
        float largest = 0.0f;
        for (std::size_t i = 2; i < samples.size(); ++i)
            largest = std::max(largest, std::abs(samples[i] - samples[i - 2]));
        return largest;
    };
    EXPECT_LE(largestStep(out), largestStep(in));
    // Once the glide to flat is over, the mix comes through bit for bit.
    const std::size_t glide = 2 * static_cast<std::size_t>(0.05 * kRate);
    EXPECT_TRUE(
        std::equal(in.begin() + 2 * third + glide, in.end(), out.begin() + 2 * third + glide));
}

class ToneRingOut : public testsupport::BankFixture {};

TEST_F(ToneRingOut, KeepsTheOutputAwakeUntilTheFiltersHaveRungOut) {
    auto& channel = load(1, testsupport::randomStereo(22050, 3));
    bank.setTone(bands({{0, 24}, {1, -24}}));
    channel.play();
    output.pull(22050);
    channel.stop();
    output.pull(ramp() + latency());
    EXPECT_FALSE(output.renderer()->idle()) << "the lowest bands still ring";
    std::size_t pulled = 0;
    while (!output.renderer()->idle() && pulled < 3 * 22050)
        pulled += output.pull(256).size() / 2;
    EXPECT_TRUE(output.renderer()->idle()) << "the ringing never ended";
    const auto after = output.pull(22050);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](float s) { return s == 0.0f; }));
}

} // namespace
} // namespace calmfield
