#include "engine/MasterGain.h"

#include <algorithm>
#include <cmath>

namespace calmfield::engine {
namespace {

const double kFloor = std::pow(10.0, MasterGain::kFloorDb / 20.0);

std::uint64_t framesIn(std::chrono::milliseconds length, std::uint32_t rate) {
    return static_cast<std::uint64_t>(
               std::clamp(length, std::chrono::milliseconds{0}, MasterGain::kLongest).count()) *
           rate / 1000;
}

std::size_t indexOf(MasterGain::Part part) {
    return static_cast<std::size_t>(part);
}

} // namespace

double MasterGain::levelAt(const Ramp& ramp, double from,
                           std::chrono::milliseconds elapsed) noexcept {
    // The same ramp followed a millisecond at a time.
    Follower follower;
    follower.startAt(from);
    follower.begin(ramp, 1000);
    return follower.gainAfter(
        static_cast<std::uint64_t>(std::max<std::int64_t>(elapsed.count(), 0)));
}

void MasterGain::rampTo(Part part, const Ramp& ramp) noexcept {
    requests_[indexOf(part)].publish(ramp);
}

void MasterGain::Follower::begin(const Ramp& ramp, std::uint32_t rate) noexcept {
    if (ramp.from)
        gain_ = std::clamp(*ramp.from, 0.0f, 1.0f);
    target_ = std::clamp(ramp.target, 0.0f, 1.0f);
    elapsed_ = 0;
    const std::uint64_t frames = framesIn(ramp.length, rate);
    ratioFrames_ = stepFrames_ = 0;
    if (ramp.shape == Shape::Linear) {
        startGain_ = ratioEnd_ = gain_;
        ratioTotal_ = 0;
        stepFrames_ = stepTotal_ = frames;
        step_ = frames > 0 ? (target_ - gain_) / static_cast<double>(frames) : 0.0;
        return;
    }
    gain_ = std::max(gain_, kFloor);
    ratioEnd_ = std::max(target_, kFloor);
    if (target_ < kFloor) {
        stepFrames_ = std::min(framesIn(kTail, rate), frames / 2);
        step_ = stepFrames_ > 0 ? (target_ - ratioEnd_) / static_cast<double>(stepFrames_) : 0.0;
    }
    ratioFrames_ = ratioTotal_ = frames - stepFrames_;
    stepTotal_ = stepFrames_;
    startGain_ = gain_;
    ratio_ = ratioFrames_ > 0 ? std::pow(ratioEnd_ / gain_, 1.0 / static_cast<double>(ratioFrames_))
                              : 1.0;
}

double MasterGain::Follower::gainAfter(std::uint64_t frames) const noexcept {
    if (frames < ratioTotal_)
        return startGain_ * std::pow(ratio_, static_cast<double>(frames));
    if (frames - ratioTotal_ < stepTotal_)
        return ratioEnd_ + step_ * static_cast<double>(frames - ratioTotal_);
    return target_;
}

void MasterGain::Follower::rewind(std::size_t frames) noexcept {
    elapsed_ -= std::min<std::uint64_t>(frames, elapsed_);
    gain_ = gainAfter(elapsed_);
    ratioFrames_ = ratioTotal_ - std::min(elapsed_, ratioTotal_);
    stepFrames_ =
        stepTotal_ - std::min(elapsed_ > ratioTotal_ ? elapsed_ - ratioTotal_ : 0, stepTotal_);
}

void MasterGain::Follower::step() noexcept {
    if (ratioFrames_ > 0) {
        gain_ = --ratioFrames_ > 0 ? gain_ * ratio_ : ratioEnd_;
    } else if (stepFrames_ > 0) {
        gain_ = --stepFrames_ > 0 ? gain_ + step_ : target_;
    } else {
        gain_ = target_;
    }
}

double MasterGain::gain() const noexcept {
    const auto& [pause, rise, fade, routine] = parts_;
    return pause.gain() * std::min({rise.gain(), fade.gain(), routine.gain()});
}

void MasterGain::apply(float* interleavedStereo, std::size_t frames, std::uint32_t rate) noexcept {
    bool moving = false;
    for (std::size_t p = 0; p < kPartCount; ++p) {
        Ramp ramp{};
        if (requests_[p].take(ramp))
            parts_[p].begin(ramp, rate);
        parts_[p].advance(frames);
        if (parts_[p].moves())
            moving = true;
        else
            parts_[p].settle();
    }
    if (!moving) {
        const auto held = static_cast<float>(gain());
        if (held == 1.0f)
            return;
        for (std::size_t i = 0; i < 2 * frames; ++i)
            interleavedStereo[i] *= held;
        return;
    }
    for (std::size_t n = 0; n < frames; ++n) {
        const auto now = static_cast<float>(gain());
        interleavedStereo[2 * n] *= now;
        interleavedStereo[2 * n + 1] *= now;
        for (Follower& part : parts_)
            part.step();
    }
}

void MasterGain::rewind(std::size_t frames) noexcept {
    for (Follower& part : parts_)
        part.rewind(frames);
}

bool MasterGain::silent() const noexcept {
    for (std::size_t p = 0; p < kPartCount; ++p)
        if (parts_[p].restsAtSilence() && !requests_[p].pending())
            return true;
    return false;
}

} // namespace calmfield::engine
