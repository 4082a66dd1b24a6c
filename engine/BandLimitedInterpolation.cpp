#include "engine/BandLimitedInterpolation.h"

#include "engine/SincKernel.h"

#include <atomic>
#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace calmfield::engine {
namespace {

constexpr unsigned kPhaseShift = 32 - kPhaseBits;
constexpr float kBetweenPhasesScale = 1.0f / static_cast<float>(1u << kPhaseShift);

std::atomic<InstructionSet> chosenSet{bestInstructionSet()};

inline void advance(SoundCursor& cursor) noexcept {
    cursor.position += cursor.step;
    if (cursor.position >= cursor.loopEnd)
        cursor.position %= cursor.loopEnd;
}

// The kernel's rows on either side of the cursor's phase, and how far it lies between them.
struct Phase {
    const float* early;
    const float* late;
    float between;
};

template <class Kernel> Phase phaseAt(const Kernel& kernel, std::uint64_t position) noexcept {
    const auto fraction = static_cast<std::uint32_t>(position);
    const std::size_t row = fraction >> kPhaseShift;
    const auto& rows =
        kernel.stereoRows[((position >> 32) + Kernel::kFramesBefore) % Kernel::kParities];
    return {rows[row].data(), rows[row + 1].data(),
            static_cast<float>(fraction & ((1u << kPhaseShift) - 1)) * kBetweenPhasesScale};
}

// `padded` holds frame -Kernel::kFramesBefore first.
template <class Kernel>
void mixFullBandBaseline(const Kernel& kernel, const std::int16_t* padded, SoundCursor& shared,
                         float leftGain, float rightGain, float* out, std::size_t frames) noexcept {
    SoundCursor cursor = shared; // a copy that no store into `out` can be taken to change
    constexpr std::size_t kRowLength = 2 * Kernel::kTaps;
    constexpr std::size_t kLanes = 8;
    static_assert(kRowLength % kLanes == 0);
    for (std::size_t n = 0; n < frames; ++n) {
        const std::int16_t* samples = padded + 2 * (cursor.position >> 32);
        const Phase phase = phaseAt(kernel, cursor.position);
        float early[kLanes] = {};
        float late[kLanes] = {};
        for (std::size_t t = 0; t < kRowLength; t += kLanes) {
            for (std::size_t lane = 0; lane < kLanes; ++lane) {
                const auto sample = static_cast<float>(samples[t + lane]);
                early[lane] += sample * phase.early[t + lane];
                late[lane] += sample * phase.late[t + lane];
            }
        }
        float sums[2] = {};
        for (std::size_t lane = 0; lane < kLanes; ++lane)
            sums[lane % 2] += early[lane] + phase.between * (late[lane] - early[lane]);
        out[2 * n] += sums[0] * leftGain;
        out[2 * n + 1] += sums[1] * rightGain;
        advance(cursor);
    }
    shared = cursor;
}

#if defined(__x86_64__)
template <class Kernel>
__attribute__((target("avx2,fma"))) void
mixFullBandAvx2Fma(const Kernel& kernel, const std::int16_t* padded, SoundCursor& shared,
                   float leftGain, float rightGain, float* out, std::size_t frames) noexcept {
    SoundCursor cursor = shared; // a copy that no store into `out` can be taken to change
    constexpr std::size_t kRowLength = 2 * Kernel::kTaps;
    static_assert(kRowLength % 8 == 0);
    const __m128 gains = _mm_setr_ps(leftGain, rightGain, 0.0f, 0.0f);
    for (std::size_t n = 0; n < frames; ++n) {
        const std::int16_t* samples = padded + 2 * (cursor.position >> 32);
        const Phase phase = phaseAt(kernel, cursor.position);
        __m256 early = _mm256_setzero_ps();
        __m256 late = _mm256_setzero_ps();
#pragma GCC unroll 8
        for (std::size_t t = 0; t < kRowLength; t += 8) {
            const __m256 frames4 = _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + t))));
            early = _mm256_fmadd_ps(frames4, _mm256_load_ps(phase.early + t), early);
            late = _mm256_fmadd_ps(frames4, _mm256_load_ps(phase.late + t), late);
        }
        const __m256 value =
            _mm256_fmadd_ps(_mm256_set1_ps(phase.between), _mm256_sub_ps(late, early), early);
        __m128 pairs = _mm_add_ps(_mm256_castps256_ps128(value), _mm256_extractf128_ps(value, 1));
        pairs = _mm_add_ps(pairs, _mm_movehl_ps(pairs, pairs));
        __m128 mixed = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(out + 2 * n)));
        mixed = _mm_fmadd_ps(pairs, gains, mixed);
        _mm_store_sd(reinterpret_cast<double*>(out + 2 * n), _mm_castps_pd(mixed));
        advance(cursor);
    }
    shared = cursor;
}
#endif

// The long kernel stretched by 1 / bandwidth over the sound's own frames, its weights read from
// its shape between the tabulated points.
void mixNarrowedBand(const SoundBuffer& sound, SoundCursor& cursor, float bandwidth, float leftGain,
                     float rightGain, float* out, std::size_t frames) noexcept {
    const float* shape = longKernel().shape.data();
    const auto length = static_cast<std::int64_t>(sound.frames());
    const double reach = static_cast<double>(LongKernel::kHalfWidth) / bandwidth;
    const double scale = static_cast<double>(bandwidth) * kPhases;
    for (std::size_t n = 0; n < frames; ++n) {
        const auto frame = static_cast<std::int64_t>(cursor.position >> 32);
        const double fraction =
            static_cast<double>(static_cast<std::uint32_t>(cursor.position)) / 4294967296.0;
        const auto first = static_cast<std::int64_t>(std::floor(fraction - reach)) + 1;
        const auto last = static_cast<std::int64_t>(std::ceil(fraction + reach)) - 1;
        const bool wraps = frame + first < 0 || frame + last >= length;
        double point = (static_cast<double>(first) - fraction) * scale; // in steps of the shape
        // Partial sums by tap, so that the additions need not wait on one another.
        float sums[4][2] = {};
        for (std::int64_t k = first; k <= last; ++k, point += scale) {
            const double distance = std::abs(point);
            const auto below = static_cast<std::size_t>(distance);
            const auto between = static_cast<float>(distance - static_cast<double>(below));
            const float weight = shape[below] + between * (shape[below + 1] - shape[below]);
            std::int64_t index = frame + k;
            if (wraps)
                index = (index % length + length) % length;
            const std::int16_t* sample = sound.frame(static_cast<std::size_t>(index));
            float* sum = sums[static_cast<std::uint64_t>(k) % 4];
            sum[0] += weight * static_cast<float>(sample[0]);
            sum[1] += weight * static_cast<float>(sample[1]);
        }
        const float left = (sums[0][0] + sums[1][0]) + (sums[2][0] + sums[3][0]);
        const float right = (sums[0][1] + sums[1][1]) + (sums[2][1] + sums[3][1]);
        out[2 * n] += left * bandwidth * leftGain;
        out[2 * n + 1] += right * bandwidth * rightGain;
        advance(cursor);
    }
}

template <class Kernel>
void mixFullBand(const Kernel& kernel, const std::int16_t* padded, SoundCursor& cursor,
                 float leftGain, float rightGain, float* out, std::size_t frames) noexcept {
#if defined(__x86_64__)
    if (chosenSet.load(std::memory_order_relaxed) == InstructionSet::Avx2Fma) {
        mixFullBandAvx2Fma(kernel, padded, cursor, leftGain, rightGain, out, frames);
        return;
    }
#endif
    mixFullBandBaseline(kernel, padded, cursor, leftGain, rightGain, out, frames);
}

} // namespace

InstructionSet bestInstructionSet() noexcept {
#if defined(__x86_64__)
    __builtin_cpu_init(); // it may be asked before the processor's features are read
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return InstructionSet::Avx2Fma;
#endif
    return InstructionSet::Baseline;
}

void useInstructionSet(InstructionSet set) noexcept {
    chosenSet.store(set == InstructionSet::Avx2Fma ? bestInstructionSet() : set,
                    std::memory_order_relaxed);
}

InstructionSet usedInstructionSet() noexcept {
    return chosenSet.load(std::memory_order_relaxed);
}

void mixBandLimited(const SoundBuffer& sound, SoundCursor& cursor, float bandwidth, float leftGain,
                    float rightGain, float* out, std::size_t frames) noexcept {
    if (bandwidth < 1.0f) {
        mixNarrowedBand(sound, cursor, bandwidth, leftGain, rightGain, out, frames);
        return;
    }
    // The same steps over the doubled sound; its positions stay even.
    SoundCursor doubled{cursor.position * 2, cursor.step * 2, cursor.loopEnd * 2};
    mixFullBand(shortKernel(), sound.doubledAround(0), doubled, leftGain, rightGain, out, frames);
    cursor.position = doubled.position / 2;
}

void addHalfwayFrames(const std::int16_t* padded, std::size_t first, std::size_t count,
                      float* out) noexcept {
    constexpr std::uint64_t kOne = std::uint64_t{1} << 32;
    SoundCursor cursor{first * kOne + kOne / 2, kOne, ~std::uint64_t{0}};
    mixFullBand(longKernel(), padded, cursor, 1.0f, 1.0f, out, count);
}

} // namespace calmfield::engine
