#include "engine/ToneStage.h"

#include "engine/BandLimitedInterpolation.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

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
                const auto& [b0, b1, a1, b2, a2] = packed.coefficients[s];
                auto& state = states[s];
                const double y = b0 * x + state.s1[c];
                state.s1[c] = b1 * x - a1 * y + state.s2[c];
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
    __m128d b0[kMost], b1[kMost], a1[kMost], b2[kMost], a2[kMost], s1[kMost], s2[kMost];
    for (std::size_t s = 0; s < count; ++s) {
        b0[s] = _mm_set1_pd(packed.coefficients[s].b0);
        b1[s] = _mm_set1_pd(packed.coefficients[s].b1);
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
            s1[s] = _mm_fnmadd_pd(a1[s], y, _mm_fmadd_pd(b1[s], x, s2[s]));
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

// One step of the staggered sections: each pair of sections shares a register, the second of the
// pair one frame behind the first, and every pair one frame behind the pair before, so that all
// of them work at once. Pair p takes the frame the pair before it gave out at the last step, and
// the second section of the pair what the first gave out. Sections not at work on one of the
// block's frames (`live` clear) keep their states.
template <std::size_t kPairs, bool kMasked>
__attribute__((target("avx2,fma"), always_inline)) inline void
staggeredStep(__m128d in, const __m256d* b0, const __m256d* b1, const __m256d* a1,
              const __m256d* b2, const __m256d* a2, __m256d* s1, __m256d* s2, __m256d* out,
              const __m256d* live) noexcept {
#pragma GCC unroll 8
    for (std::size_t q = 0; q < kPairs; ++q) {
        // The last pair first, so that each reads what the pair before it gave at the last step.
        const std::size_t p = kPairs - 1 - q;
        const __m256d x = p == 0 ? _mm256_permute2f128_pd(_mm256_castpd128_pd256(in), out[0], 0x20)
                                 : _mm256_permute2f128_pd(out[p - 1], out[p], 0x21);
        const __m256d y = _mm256_fmadd_pd(b0[p], x, s1[p]);
        const __m256d next1 = _mm256_fnmadd_pd(a1[p], y, _mm256_fmadd_pd(b1[p], x, s2[p]));
        const __m256d next2 = _mm256_fnmadd_pd(a2[p], y, _mm256_mul_pd(b2[p], x));
        if constexpr (kMasked) {
            s1[p] = _mm256_blendv_pd(s1[p], next1, live[p]);
            s2[p] = _mm256_blendv_pd(s2[p], next2, live[p]);
        } else {
            s1[p] = next1;
            s2[p] = next2;
        }
        out[p] = y;
    }
}

// The sections staggered over kPairs registers of four (see staggeredStep): the last section's
// output comes 2 kPairs - 1 steps after its frame went in, so a block takes that many steps more
// than it has frames, the sections starting and stopping one after the other.
template <std::size_t kPairs, class Packed>
__attribute__((target("avx2,fma"))) void
shapeStaggered(Packed& packed, double gain, float* interleavedStereo, std::size_t frames) noexcept {
    using Coefficients = std::remove_cvref_t<decltype(packed.coefficients[0])>;
    using State = std::remove_cvref_t<decltype(packed.states[0])>;
    constexpr std::size_t kLag = 2 * kPairs - 1;
    // An odd section out is paired with one that passes its input unchanged.
    const auto coefficients = [&](std::size_t s) {
        return s < packed.count ? packed.coefficients[s] : Coefficients{1.0, 0.0, 0.0, 0.0, 0.0};
    };
    const auto state = [&](std::size_t s) { return s < packed.count ? packed.states[s] : State{}; };
    __m256d b0[kPairs], b1[kPairs], a1[kPairs], b2[kPairs], a2[kPairs], s1[kPairs], s2[kPairs],
        out[kPairs];
    for (std::size_t p = 0; p < kPairs; ++p) {
        const Coefficients first = coefficients(2 * p);
        const Coefficients second = coefficients(2 * p + 1);
        b0[p] = _mm256_setr_pd(first.b0, first.b0, second.b0, second.b0);
        b1[p] = _mm256_setr_pd(first.b1, first.b1, second.b1, second.b1);
        a1[p] = _mm256_setr_pd(first.a1, first.a1, second.a1, second.a1);
        b2[p] = _mm256_setr_pd(first.b2, first.b2, second.b2, second.b2);
        a2[p] = _mm256_setr_pd(first.a2, first.a2, second.a2, second.a2);
        const State one = state(2 * p);
        const State two = state(2 * p + 1);
        s1[p] = _mm256_setr_pd(one.s1[0], one.s1[1], two.s1[0], two.s1[1]);
        s2[p] = _mm256_setr_pd(one.s2[0], one.s2[1], two.s2[0], two.s2[1]);
        out[p] = _mm256_setzero_pd();
    }
    const __m128d scale = _mm_set1_pd(gain);
    __m256d live[kPairs];
    for (std::size_t t = 0; t < frames + kLag; ++t) {
        __m128d in = _mm_setzero_pd();
        if (t < frames)
            in = _mm_mul_pd(_mm_cvtps_pd(_mm_castpd_ps(_mm_load_sd(
                                reinterpret_cast<const double*>(interleavedStereo + 2 * t)))),
                            scale);
        if (t >= kLag && t < frames) {
            staggeredStep<kPairs, false>(in, b0, b1, a1, b2, a2, s1, s2, out, live);
        } else {
            // Starting or stopping: only the sections on one of the block's frames move on.
            for (std::size_t p = 0; p < kPairs; ++p) {
                const std::int64_t first = t >= 2 * p && t - 2 * p < frames ? -1 : 0;
                const std::int64_t second = t >= 2 * p + 1 && t - 2 * p - 1 < frames ? -1 : 0;
                live[p] = _mm256_castsi256_pd(_mm256_setr_epi64x(first, first, second, second));
            }
            staggeredStep<kPairs, true>(in, b0, b1, a1, b2, a2, s1, s2, out, live);
        }
        if (t >= kLag)
            _mm_store_sd(reinterpret_cast<double*>(interleavedStereo + 2 * (t - kLag)),
                         _mm_castps_pd(_mm_cvtpd_ps(_mm256_extractf128_pd(out[kPairs - 1], 1))));
    }

    alignas(32) double lanes[4];
    for (std::size_t p = 0; p < kPairs; ++p) {
        for (auto [registers, member] : {std::pair{s1, &State::s1}, std::pair{s2, &State::s2}}) {
            _mm256_store_pd(lanes, registers[p]);
            for (std::size_t half = 0; half < 2; ++half)
                if (2 * p + half < packed.count)
                    packed.states[2 * p + half].*member = {lanes[2 * half], lanes[2 * half + 1]};
        }
    }
}

#endif

} // namespace

void ToneStage::process(float* interleavedStereo, std::size_t frames, std::uint32_t rate) noexcept {
    const bool changed = setting_.take(heard_);
    if (rate != rate_) {
        // A new rate comes with a new stream: take the design at once rather than glide.
        rate_ = rate;
        const auto steps =
            std::max<std::size_t>(1, static_cast<std::size_t>(kGlideSeconds * rate / kStepFrames));
        glideFrames_ = steps * kStepFrames;
        glideLeft_ = 0;
        target_ = from_ = ToneDesign::of(heard_, rate, mix_);
        useCoefficients(target_);
        running_ = !target_.passesUnchanged();
    } else if (changed) {
        retarget(rate);
    } else if (mixChanged_) {
        relevel(rate);
    }
    mixChanged_ = soundBegins_ = false;
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

void ToneStage::setMix(const ToneMix& mix) noexcept {
    if (mix == mix_)
        return;
    const bool wasSilent = mix_.silent();
    mix_ = mix;
    if (mix_.silent())
        return;
    mixChanged_ = true;
    soundBegins_ = soundBegins_ || wasSilent;
}

void ToneStage::retarget(std::uint32_t rate) noexcept {
    from_ = ToneDesign::between(from_, target_, glideShare());
    target_ = ToneDesign::of(heard_, rate, mix_);
    if (soundBegins_)
        from_.inputGain = target_.inputGain;
    if (!running_) {
        if (target_.passesUnchanged())
            return;
        running_ = true;
    }
    glideLeft_ = glideFrames_;
}

void ToneStage::relevel(std::uint32_t rate) noexcept {
    if (!running_)
        return;
    from_ = ToneDesign::between(from_, target_, glideShare());
    target_.lowerInputFor(mix_, rate);
    if (soundBegins_)
        from_.inputGain = target_.inputGain;
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
        // The bilinear transform of (s^2 + (k + mix) s + zero) / (s^2 + k s + 1), s = tan-warped.
        const auto [g, k, mix, zero] = design.sections[s];
        const double damped = k * g;
        const double passed = (k + mix) * g;
        const double zeroed = zero * g * g;
        const double norm = 1.0 / (1.0 + damped + g * g);
        coefficients_[s] = {(1.0 + passed + zeroed) * norm, (2.0 * zeroed - 2.0) * norm,
                            (2.0 * g * g - 2.0) * norm, (1.0 - passed + zeroed) * norm,
                            (1.0 - damped + g * g) * norm};
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
    // Staggered, the sections start and stop one after the other at each block's ends: worth it
    // only over blocks well longer than that, not over a glide's steps.
    using Kernel = void (*)(Packed&, double, float*, std::size_t) noexcept;
    static constexpr Kernel kStaggered[] = {&shapeStaggered<1, Packed>, &shapeStaggered<2, Packed>,
                                            &shapeStaggered<3, Packed>, &shapeStaggered<4, Packed>,
                                            &shapeStaggered<5, Packed>, &shapeStaggered<6, Packed>,
                                            &shapeStaggered<7, Packed>, &shapeStaggered<8, Packed>};
    static_assert(std::size(kStaggered) == (kSections + 1) / 2);
    const bool fused = usedInstructionSet() == InstructionSet::Avx2Fma;
    if (fused && packed_.count > 0 && frames >= 8 * packed_.count) {
        kStaggered[(packed_.count + 1) / 2 - 1](packed_, inputGain_, interleavedStereo, frames);
    } else if (fused)
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
