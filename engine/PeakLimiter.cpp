#include "engine/PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace calmfield::engine {
namespace {

// Below this distance from the gain it recovers to, the released gain takes that gain at once:
// a step of a millionth cannot be heard, and the gain becomes exactly 1 again.
constexpr double kSnap = 1e-6;

float levelOf(const float* frame) noexcept {
    return std::max(std::abs(frame[0]), std::abs(frame[1]));
}

} // namespace

PeakLimiter::PeakLimiter() noexcept {
    gains_.fill(kUnity);
}

void PeakLimiter::process(float* interleavedStereo, std::size_t frames,
                          std::uint32_t rate) noexcept {
    if (rate == 0)
        return;
    if (rate != rate_)
        retune(rate);
    while (frames > 0) {
        const std::size_t block = std::min(frames, kBlock);
        const bool recovered = firstPeak_ == endPeak_ && gainSum_ == unitySum_;
        float level = 0.0f;
        if (recovered) {
            for (std::size_t i = 0; i < 2 * block; ++i)
                level = std::max(level, std::abs(interleavedStereo[i]));
        }
        if (recovered && level <= kCeiling)
            delay(interleavedStereo, block, level != 0.0f);
        else
            limit(interleavedStereo, block);
        interleavedStereo += 2 * block;
        frames -= block;
    }
}

// Passes a block that needs no limiting through the delay line alone.
void PeakLimiter::delay(float* interleavedStereo, std::size_t frames, bool sounding) noexcept {
    const auto copyIn = [this](const float* from, std::uint64_t frame, std::size_t count) {
        const std::size_t at = frame & kMask;
        const std::size_t first = std::min(count, kHistory - at);
        std::copy_n(from, 2 * first, &delayed_[2 * at]);
        std::copy_n(from + 2 * first, 2 * (count - first), &delayed_[0]);
    };
    const auto copyOut = [this](float* to, std::uint64_t frame, std::size_t count) {
        const std::size_t at = frame & kMask;
        const std::size_t first = std::min(count, kHistory - at);
        std::copy_n(&delayed_[2 * at], 2 * first, to);
        std::copy_n(&delayed_[0], 2 * (count - first), to + 2 * first);
    };
    const std::uint64_t n = frame_;
    if (sounding) {
        std::size_t end = frames;
        while (levelOf(interleavedStereo + 2 * (end - 1)) == 0.0f)
            --end;
        lastSound_ = n + end;
    }
    copyIn(interleavedStereo, n, frames);
    copyOut(interleavedStereo, n - lookAhead_, frames);
    for (std::uint64_t j = n; j != n + frames; ++j)
        gains_[j & kMask] = kUnity;
    frame_ += frames;
}

void PeakLimiter::limit(float* interleavedStereo, std::size_t frames) noexcept {
    for (std::size_t i = 0; i < frames; ++i) {
        float* frame = interleavedStereo + 2 * i;
        const std::uint64_t n = frame_++;
        float* in = &delayed_[2 * (n & kMask)];
        const float* out = &delayed_[2 * ((n - lookAhead_) & kMask)];
        in[0] = frame[0];
        in[1] = frame[1];
        const float gain = gainFor(n, levelOf(in));
        frame[0] = out[0] * gain;
        frame[1] = out[1] * gain;
    }
}

// The gain for the frame leaving the delay line as frame `n`, of `level`, comes in.
float PeakLimiter::gainFor(std::uint64_t n, float level) noexcept {
    if (level != 0.0f)
        lastSound_ = n + 1;
    if (level > kCeiling)
        pushPeak(n, level);
    while (firstPeak_ != endPeak_ && peaks_[firstPeak_ & kMask].frame + lookAhead_ < n)
        ++firstPeak_;

    if (firstPeak_ == endPeak_ && gainSum_ == unitySum_) {
        gains_[n & kMask] = kUnity; // nothing to limit, and fully recovered
        return 1.0f;
    }

    const double needed = neededGain();
    if (needed != needed_) {
        // A lower need takes effect at once, a higher one by release from where the gain is.
        shortfall_ = std::max(0.0, shortfall_ + needed - needed_);
        needed_ = needed;
    }
    shortfall_ *= release_;
    if (shortfall_ < kSnap)
        shortfall_ = 0.0;
    if (lastSound_ + lookAhead_ <= n)
        resetToUnity(n); // only silence is left to come out, so no one hears the gain jump

    const auto released = static_cast<std::uint32_t>((needed_ - shortfall_) * kUnity);
    gainSum_ = gainSum_ - gains_[(n - lookAhead_ - 1) & kMask] + released;
    gains_[n & kMask] = released;
    if (gainSum_ == unitySum_)
        return 1.0f;
    return static_cast<float>(static_cast<double>(gainSum_) * perUnitySum_);
}

void PeakLimiter::pushPeak(std::uint64_t frame, float level) noexcept {
    const double gain = static_cast<double>(kCeiling) / level;
    while (endPeak_ != firstPeak_ && peaks_[(endPeak_ - 1) & kMask].gain >= gain)
        --endPeak_;
    peaks_[endPeak_ & kMask] = {frame, gain};
    ++endPeak_;
}

double PeakLimiter::neededGain() const noexcept {
    if (firstPeak_ == endPeak_)
        return 1.0;
    return peaks_[firstPeak_ & kMask].gain;
}

// Before frame `n`: every gain in the average becomes 1.
void PeakLimiter::resetToUnity(std::uint64_t n) noexcept {
    needed_ = 1.0;
    shortfall_ = 0.0;
    if (gainSum_ == unitySum_)
        return;
    for (std::uint64_t j = n - lookAhead_ - 1; j != n; ++j)
        gains_[j & kMask] = kUnity;
    gainSum_ = unitySum_;
}

// Takes on a new rate before the next frame. The frames already in the delay line come out at
// the new look-ahead, so the peaks among them are found again. The output's gain carries on
// from where it is, lowered only if a frame now within the look-ahead needs it.
void PeakLimiter::retune(std::uint32_t rate) noexcept {
    const double current = static_cast<double>(gainSum_) * perUnitySum_;
    rate_ = rate;
    lookAhead_ = lookAheadFrames(rate);
    release_ = std::exp(-1.0 / (kReleaseSeconds * rate));
    unitySum_ = std::uint64_t{lookAhead_ + 1} * kUnity;
    perUnitySum_ = 1.0 / static_cast<double>(unitySum_);

    const std::uint64_t n = frame_;
    firstPeak_ = endPeak_ = 0;
    for (std::uint64_t j = n - lookAhead_; j != n; ++j) {
        const float level = levelOf(&delayed_[2 * (j & kMask)]);
        if (level > kCeiling)
            pushPeak(j, level);
    }
    const double needed = neededGain();
    shortfall_ = needed - std::min(needed_ - shortfall_, needed);
    needed_ = needed;
    const auto held = static_cast<std::uint32_t>(std::min(current, needed) * kUnity);
    for (std::uint64_t j = n - lookAhead_ - 1; j != n; ++j)
        gains_[j & kMask] = held;
    gainSum_ = std::uint64_t{lookAhead_ + 1} * held;
}

} // namespace calmfield::engine
