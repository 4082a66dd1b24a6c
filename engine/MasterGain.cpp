#include "engine/MasterGain.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace calmfield::engine {
namespace {

const double kFloor = std::pow(10.0, MasterGain::kFloorDb / 20.0);

std::uint64_t framesIn(std::chrono::milliseconds length, std::uint32_t rate) {
    return static_cast<std::uint64_t>(length.count()) * rate / 1000;
}

} // namespace

std::uint64_t MasterGain::pack(const Ramp& ramp, std::uint32_t serial) noexcept {
    const auto milliseconds = static_cast<std::uint64_t>(
        std::clamp(ramp.length, std::chrono::milliseconds{0}, kLongest).count());
    const float target = std::clamp(ramp.target, 0.0f, 1.0f);
    return static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(target)) << 32 |
           milliseconds << 8 | static_cast<std::uint64_t>(ramp.shape) << 7 |
           static_cast<std::uint64_t>(ramp.fromSilence) << 6 | (serial & 0x3f);
}

MasterGain::Ramp MasterGain::unpack(std::uint64_t request) noexcept {
    return {std::bit_cast<float>(static_cast<std::uint32_t>(request >> 32)),
            std::chrono::milliseconds{(request >> 8) & 0xffffff},
            static_cast<Shape>((request >> 7) & 1), ((request >> 6) & 1) != 0};
}

double MasterGain::levelAt(const Ramp& ramp, double from,
                           std::chrono::milliseconds elapsed) noexcept {
    // The same ramp followed a millisecond at a time.
    MasterGain gain;
    gain.gain_ = from;
    gain.begin(ramp, 1000);
    return gain.gainAfter(static_cast<std::uint64_t>(std::max<std::int64_t>(elapsed.count(), 0)));
}

void MasterGain::rampTo(const Ramp& ramp) noexcept {
    // Serial numbers start at 1, so that no request looks like the gain's resting state.
    serial_ = serial_ % 0x3f + 1;
    request_.store(pack(ramp, serial_), std::memory_order_release);
}

void MasterGain::begin(const Ramp& ramp, std::uint32_t rate) noexcept {
    if (ramp.fromSilence)
        gain_ = 0.0;
    target_ = ramp.target;
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

// The gain `frames` into the ramp, as step() reaches it.
double MasterGain::gainAfter(std::uint64_t frames) const noexcept {
    if (frames < ratioTotal_)
        return startGain_ * std::pow(ratio_, static_cast<double>(frames));
    if (frames - ratioTotal_ < stepTotal_)
        return ratioEnd_ + step_ * static_cast<double>(frames - ratioTotal_);
    return target_;
}

void MasterGain::rewind(std::size_t frames) noexcept {
    elapsed_ -= std::min<std::uint64_t>(frames, elapsed_);
    gain_ = gainAfter(elapsed_);
    ratioFrames_ = ratioTotal_ - std::min(elapsed_, ratioTotal_);
    stepFrames_ =
        stepTotal_ - std::min(elapsed_ > ratioTotal_ ? elapsed_ - ratioTotal_ : 0, stepTotal_);
}

void MasterGain::step() noexcept {
    if (ratioFrames_ > 0) {
        gain_ = --ratioFrames_ > 0 ? gain_ * ratio_ : ratioEnd_;
    } else if (stepFrames_ > 0) {
        gain_ = --stepFrames_ > 0 ? gain_ + step_ : target_;
    } else {
        gain_ = target_;
    }
}

void MasterGain::apply(float* interleavedStereo, std::size_t frames, std::uint32_t rate) noexcept {
    const std::uint64_t request = request_.load(std::memory_order_acquire);
    if (request != taken_) {
        taken_ = request;
        begin(unpack(request), rate);
    }
    elapsed_ += frames;
    if (ratioFrames_ == 0 && stepFrames_ == 0) {
        gain_ = target_;
        if (gain_ == 1.0)
            return;
    }
    for (std::size_t n = 0; n < frames; ++n) {
        const auto gain = static_cast<float>(gain_);
        interleavedStereo[2 * n] *= gain;
        interleavedStereo[2 * n + 1] *= gain;
        step();
    }
}

bool MasterGain::silent() const noexcept {
    return gain_ == 0.0 && target_ == 0.0 && request_.load(std::memory_order_acquire) == taken_;
}

} // namespace calmfield::engine
