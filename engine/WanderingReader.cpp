#include "engine/WanderingReader.h"

#include "engine/BandLimitedInterpolation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

namespace calmfield::engine {
namespace {

std::uint64_t framesOf(double seconds, std::uint32_t rate) {
    return static_cast<std::uint64_t>(std::llround(std::max(seconds, 0.0) * rate));
}

// How many output frames it takes to cover `distance` at `step`, both in 32.32 fixed point.
std::size_t framesToCover(std::uint64_t distance, std::uint64_t step) noexcept {
    return static_cast<std::size_t>(std::max<std::uint64_t>(1, (distance + step - 1) / step));
}

// The lengths scaled down in proportion for a sound shorter than the longest stretch and its
// crossfade, but longer than kShortestWanderingSound.
WanderLengths fittedTo(const WanderLengths& lengths, double soundSeconds) {
    const double needed = lengths.longestStretch + lengths.crossfade;
    if (soundSeconds >= needed || soundSeconds <= kShortestWanderingSound || needed <= 0.0)
        return lengths;
    const double scale = soundSeconds / needed;
    return {lengths.shortestStretch * scale, lengths.longestStretch * scale,
            lengths.crossfade * scale};
}

} // namespace

WanderSeed seedFromClock() {
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

WanderingReader::WanderingReader(const SoundBuffer& sound, WanderSeed seed, WanderLengths asked)
    : sound_(sound), loopEnd_(static_cast<std::uint64_t>(sound.frames()) << 32),
      random_(seed.value_or(0)) {
    const std::uint32_t rate = sound.sampleRate();
    const bool fitted =
        rate > 0 && sound.frames() > static_cast<std::size_t>(kShortestWanderingSound * rate);
    const WanderLengths lengths =
        fitted ? fittedTo(asked, static_cast<double>(sound.frames()) / rate) : asked;
    crossfade_ = std::max<std::uint64_t>(1, framesOf(lengths.crossfade, rate));
    // A stretch holds its crossfade in and more.
    shortestStretch_ = std::max(framesOf(lengths.shortestStretch, rate), crossfade_ + 1);
    longestStretch_ = std::max(framesOf(lengths.longestStretch, rate), shortestStretch_);
    // Rounding to whole frames must not take a fitted sound's longest stretch past its end.
    if (fitted && longestStretch_ + crossfade_ > sound.frames() &&
        sound.frames() >= shortestStretch_ + crossfade_)
        longestStretch_ = sound.frames() - crossfade_;
    wanders_ = seed.has_value() && sound.frames() >= longestStretch_ + crossfade_;
    moveTo(0);
}

void WanderingReader::moveTo(std::uint64_t position) noexcept {
    position_ = position;
    crossfading_ = false;
    if (!wanders_)
        return;
    // A stretch begun late in the sound ends before the sound does, if it can.
    const std::uint64_t stretch = drawStretch() << 32;
    const std::uint64_t lastStart = loopEnd_ - (crossfade_ << 32);
    stretchLeft_ = position < lastStart ? std::min(stretch, lastStart - position) : stretch;
}

std::uint64_t WanderingReader::drawStretch() noexcept {
    const double choices = static_cast<double>(longestStretch_ - shortestStretch_ + 1);
    return shortestStretch_ + static_cast<std::uint64_t>(random_.unit() * choices);
}

// The arriving reading fades in, plays the rest of its stretch and fades out before the sound's
// end, starting at least one crossfade away from the leaving one so that the two never overlap.
void WanderingReader::beginCrossfade() noexcept {
    const std::uint64_t stretch = drawStretch();
    const auto from = static_cast<std::int64_t>(position_ >> 32);
    const auto fade = static_cast<std::int64_t>(crossfade_);
    const auto lastStart =
        static_cast<std::int64_t>(sound_.frames()) - static_cast<std::int64_t>(stretch) - fade;
    const std::int64_t nearFirst = std::max<std::int64_t>(0, from - fade);
    const std::int64_t nearWidth =
        std::max<std::int64_t>(0, std::min(lastStart + 1, from + fade + 1) - nearFirst);
    const std::int64_t choices = lastStart + 1 - nearWidth;
    if (choices <= 0) { // nowhere far enough: this stretch goes on
        stretchLeft_ = stretch << 32;
        return;
    }
    auto start = static_cast<std::int64_t>(random_.unit() * static_cast<double>(choices));
    if (start >= nearFirst)
        start += nearWidth;
    leaving_ = position_;
    position_ = (static_cast<std::uint64_t>(start) << 32) | (position_ & 0xffffffffu);
    stretchLeft_ = (stretch - crossfade_) << 32;
    crossfadeDone_ = 0;
    crossfading_ = true;
}

void WanderingReader::mix(float* out, std::size_t frames, const Reading& reading, float leftGain,
                          float rightGain) noexcept {
    while (frames > 0) {
        std::size_t run = frames;
        if (crossfading_) {
            run = std::min({run, framesToCover((crossfade_ << 32) - crossfadeDone_, reading.step),
                            framesToCover((crossfade_ << 32) / kCrossfadeRuns, reading.step)});
            mixCrossfade(out, run, reading, leftGain, rightGain);
        } else {
            if (wanders_)
                run = std::min(run, framesToCover(stretchLeft_, reading.step));
            mixStraight(out, run, reading, leftGain, rightGain);
        }
        out += 2 * run;
        frames -= run;
    }
}

void WanderingReader::mixStraight(float* out, std::size_t frames, const Reading& reading,
                                  float leftGain, float rightGain) noexcept {
    SoundCursor cursor{position_, reading.step, loopEnd_};
    mixBandLimited(sound_, cursor, reading.bandwidth, leftGain, rightGain, out, frames);
    position_ = cursor.position;
    if (!wanders_)
        return;
    stretchLeft_ -= std::min<std::uint64_t>(stretchLeft_, frames * reading.step);
    if (stretchLeft_ == 0)
        beginCrossfade();
}

// Each run is short enough for its gains to hold still, at their values in its middle: from one
// run to the next they change by under one percent of full gain.
void WanderingReader::mixCrossfade(float* out, std::size_t frames, const Reading& reading,
                                   float leftGain, float rightGain) noexcept {
    const double length = static_cast<double>(crossfade_ << 32);
    const double middle = static_cast<double>(crossfadeDone_) +
                          static_cast<double>(frames) * static_cast<double>(reading.step) / 2;
    const double angle = std::numbers::pi / 2 * std::min(1.0, middle / length);
    const auto fadingOut = static_cast<float>(std::cos(angle));
    const auto fadingIn = static_cast<float>(std::sin(angle));
    SoundCursor leaving{leaving_, reading.step, loopEnd_};
    mixBandLimited(sound_, leaving, reading.bandwidth, leftGain * fadingOut, rightGain * fadingOut,
                   out, frames);
    leaving_ = leaving.position;
    SoundCursor arriving{position_, reading.step, loopEnd_};
    mixBandLimited(sound_, arriving, reading.bandwidth, leftGain * fadingIn, rightGain * fadingIn,
                   out, frames);
    position_ = arriving.position;
    crossfadeDone_ += frames * reading.step;
    if (crossfadeDone_ >= crossfade_ << 32)
        crossfading_ = false;
}

} // namespace calmfield::engine
