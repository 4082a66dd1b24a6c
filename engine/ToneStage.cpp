#include "engine/ToneStage.h"

#include "engine/BandLimitedInterpolation.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace calmfield::engine {
namespace {

// Once nothing goes in and every filter state is below this, what would still come out lies far
// under the output's resolution, and the filters are cleared.
constexpr double kSilentState = 1e-9;

bool heardAnything(const float* interleavedStereo, std::size_t frames) noexcept {
    bool heard = false;
    for (std::size_t i = 0; i < 2 * frames; ++i)
        heard = heard || interleavedStereo[i] != 0.0f;
    return heard;
}

template <class Packed>
void shapeBaseline(Packed& packed, double gain, float* interleavedStereo,
                   std::size_t frames) noexcept {
    auto states = packed.states;
    for (std::size_t n = 0; n < frames; ++n) {
        for (std::size_t c = 0; c < 2; ++c) {
            double x = gain * interleavedStereo[2 * n + c];
            for (std::size_t s = 0; s < packed.count; ++s) {
                const auto& [b0, a1, b2, a2] = packed.coefficients[s];
                auto& state = states[s];
                const double y = b0 * x + state.s1[c];
                state.s1[c] = a1 * (x - y) + state.s2[c];
                state.s2[c] = b2 * x - a2 * y;
                x = y;
            }
            interleavedStereo[2 * n + c] = static_cast<float>(x);
        }
    }
    packed.states = states;
}

#if defined(__x86_64__)
// Both sides at once, in one register, a frame at a time: the processor runs the sections of
// successive frames side by side as far as their states allow.
template <class Packed>
__attribute__((target("avx2,fma"))) void
shapeAvx2Fma(Packed& packed, double gain, float* interleavedStereo, std::size_t frames) noexcept {
    constexpr std::size_t kMost = std::tuple_size_v<decltype(packed.states)>;
    const std::size_t count = packed.count;
    __m128d b0[kMost], a1[kMost], b2[kMost], a2[kMost], s1[kMost], s2[kMost];
    for (std::size_t s = 0; s < count; ++s) {
        b0[s] = _mm_set1_pd(packed.coefficients[s].b0);
        a1[s] = _mm_set1_pd(packed.coefficients[s].a1);
        b2[s] = _mm_set1_pd(packed.coefficients[s].b2);
        a2[s] = _mm_set1_pd(packed.coefficients[s].a2);
        s1[s] = _mm_loadu_pd(packed.states[s].s1.data());
        s2[s] = _mm_loadu_pd(packed.states[s].s2.data());
    }
    const __m128d scale = _mm_set1_pd(gain);
    for (std::size_t n = 0; n < frames; ++n) {
        double* frame = reinterpret_cast<double*>(interleavedStereo + 2 * n);
        __m128d x = _mm_mul_pd(_mm_cvtps_pd(_mm_castpd_ps(_mm_load_sd(frame))), scale);
        for (std::size_t s = 0; s < count; ++s) {
            const __m128d y = _mm_fmadd_pd(b0[s], x, s1[s]);
            s1[s] = _mm_fmadd_pd(a1[s], _mm_sub_pd(x, y), s2[s]);
            s2[s] = _mm_fnmadd_pd(a2[s], y, _mm_mul_pd(b2[s], x));
            x = y;
        }
        _mm_store_sd(frame, _mm_castps_pd(_mm_cvtpd_ps(x)));
    }
    for (std::size_t s = 0; s < count; ++s) {
        _mm_storeu_pd(packed.states[s].s1.data(), s1[s]);
        _mm_storeu_pd(packed.states[s].s2.data(), s2[s]);
    }
}
#endif

} // namespace

ToneStage::ToneStage() noexcept : fused_(bestInstructionSet() == InstructionSet::Avx2Fma) {}

void ToneStage::process(float* interleavedStereo, std::size_t frames, std::uint32_t rate) noexcept {
    const bool changed = setting_.take(heard_);
    if (rate != rate_) {
        // A new rate comes with a new stream: take the design at once rather than glide.
        rate_ = rate;
        const auto steps =
            std::max<std::size_t>(1, static_cast<std::size_t>(kGlideSeconds * rate / kStepFrames));
        glideFrames_ = steps * kStepFrames;
        glideLeft_ = 0;
        target_ = from_ = ToneDesign::of(heard_, rate);
        useCoefficients(target_);
        running_ = !target_.passesUnchanged();
    } else if (changed) {
        retarget(rate);
    }
    if (!running_)
        return;

    const bool heardInput = heardAnything(interleavedStereo, frames);
    // While a glide runs, the sections move every few frames; then they hold still.
    for (std::size_t done = 0; done < frames;) {
        std::size_t step = frames - done;
        if (glideLeft_ > 0) {
            step = std::min(kStepFrames, step);
            stepGlide(step);
        }
        shape(interleavedStereo + 2 * done, step);
        done += step;
        if (glideLeft_ == 0 && target_.passesUnchanged()) {
            // The glide to a flat tone is over: the rest passes untouched.
            running_ = false;
            states_ = {};
            ringing_ = false;
            return;
        }
    }
    settleIfQuiet(heardInput);
}

void ToneStage::retarget(std::uint32_t rate) noexcept {
    from_ = ToneDesign::between(from_, target_, glideShare());
    target_ = ToneDesign::of(heard_, rate);
    if (!running_) {
        if (target_.passesUnchanged())
            return;
        running_ = true;
    }
    glideLeft_ = glideFrames_;
}

double ToneStage::glideShare() const noexcept {
    return 1.0 - static_cast<double>(glideLeft_) / static_cast<double>(glideFrames_);
}

void ToneStage::stepGlide(std::size_t frames) noexcept {
    glideLeft_ -= std::min(frames, glideLeft_);
    useCoefficients(ToneDesign::between(from_, target_, glideShare()));
}

void ToneStage::useCoefficients(const ToneDesign& design) noexcept {
    inputGain_ = design.inputGain;
    for (std::size_t s = 0; s < kSections; ++s) {
        // The bilinear transform of (s^2 + (k + mix) s + 1) / (s^2 + k s + 1), s = tan-warped.
        const auto [g, k, mix] = design.sections[s];
        const double damped = k * g;
        const double passed = (k + mix) * g;
        const double norm = 1.0 / (1.0 + damped + g * g);
        coefficients_[s] = {(1.0 + passed + g * g) * norm, (2.0 * g * g - 2.0) * norm,
                            (1.0 - passed + g * g) * norm, (1.0 - damped + g * g) * norm};
        // A section that passes its input unchanged from start to end of the glide is left out,
        // and starts again from rest.
        active_[s] = !target_.sections[s].passesUnchanged() ||
                     (glideLeft_ > 0 && !from_.sections[s].passesUnchanged());
        if (!active_[s])
            states_[s] = {};
    }
}

void ToneStage::shape(float* interleavedStereo, std::size_t frames) noexcept {
    packed_.count = 0;
    for (std::size_t s = 0; s < kSections; ++s) {
        if (active_[s]) {
            packed_.coefficients[packed_.count] = coefficients_[s];
            packed_.states[packed_.count++] = states_[s];
        }
    }
#if defined(__x86_64__)
    if (fused_)
        shapeAvx2Fma(packed_, inputGain_, interleavedStereo, frames);
    else
#endif
        shapeBaseline(packed_, inputGain_, interleavedStereo, frames);
    for (std::size_t s = 0, p = 0; s < kSections; ++s)
        if (active_[s])
            states_[s] = packed_.states[p++];
}

void ToneStage::settleIfQuiet(bool heardInput) noexcept {
    if (heardInput) {
        ringing_ = true;
        return;
    }
    double largest = 0.0;
    for (const State& state : states_)
        for (std::size_t c = 0; c < 2; ++c)
            largest = std::max({largest, std::abs(state.s1[c]), std::abs(state.s2[c])});
    ringing_ = largest >= kSilentState;
    if (!ringing_)
        states_ = {};
}

} // namespace calmfield::engine
