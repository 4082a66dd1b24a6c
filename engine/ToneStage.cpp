#include "engine/ToneStage.h"

#include <algorithm>
#include <cmath>

namespace calmfield::engine {
namespace {

// Once nothing goes in and every filter state is below this, what would still come out lies far
// under the output's resolution, and the filters are cleared.
constexpr double kSilentState = 1e-9;

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
        target_ = from_ = ToneDesign::of(heard_, rate);
        useCoefficients(target_);
        running_ = !target_.passesUnchanged();
    } else if (changed) {
        retarget(rate);
    }
    if (!running_)
        return;

    bool heardInput = false;
    for (std::size_t done = 0; done < frames; done += kStepFrames) {
        const std::size_t step = std::min(kStepFrames, frames - done);
        if (glideLeft_ > 0)
            stepGlide(step);
        heardInput = shape(interleavedStereo + 2 * done, step) || heardInput;
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
        const ToneSection& section = design.sections[s];
        const double a1 = 1.0 / (1.0 + section.g * (section.g + section.k));
        coefficients_[s] = {a1, section.g * a1, section.g * section.g * a1, section.mix};
        // A section that passes its input unchanged from start to end of the glide is left out,
        // and starts again from rest.
        const bool active = !target_.sections[s].passesUnchanged() ||
                            (glideLeft_ > 0 && !from_.sections[s].passesUnchanged());
        if (!active)
            states_[s] = {};
        active_[s] = active;
    }
}

bool ToneStage::shape(float* interleavedStereo, std::size_t frames) noexcept {
    std::array<std::array<double, 2>, kStepFrames> x;
    bool heardInput = false;
    for (std::size_t i = 0; i < frames; ++i) {
        for (std::size_t c = 0; c < 2; ++c) {
            heardInput = heardInput || interleavedStereo[2 * i + c] != 0.0f;
            x[i][c] = inputGain_ * interleavedStereo[2 * i + c];
        }
    }
    for (std::size_t s = 0; s < kSections; ++s) {
        if (!active_[s])
            continue;
        const auto [a1, a2, a3, mix] = coefficients_[s];
        auto [band, low] = states_[s];
        for (std::size_t i = 0; i < frames; ++i) {
            for (std::size_t c = 0; c < 2; ++c) {
                const double in = x[i][c];
                const double v3 = in - low[c];
                const double v1 = a1 * band[c] + a2 * v3;
                const double v2 = low[c] + a2 * band[c] + a3 * v3;
                band[c] = 2.0 * v1 - band[c];
                low[c] = 2.0 * v2 - low[c];
                x[i][c] = in + mix * v1;
            }
        }
        states_[s] = {band, low};
    }
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < 2; ++c)
            interleavedStereo[2 * i + c] = static_cast<float>(x[i][c]);
    return heardInput;
}

void ToneStage::settleIfQuiet(bool heardInput) noexcept {
    if (heardInput) {
        ringing_ = true;
        return;
    }
    double largest = 0.0;
    for (const State& state : states_)
        for (std::size_t c = 0; c < 2; ++c)
            largest = std::max({largest, std::abs(state.band[c]), std::abs(state.low[c])});
    ringing_ = largest >= kSilentState;
    if (!ringing_)
        states_ = {};
}

} // namespace calmfield::engine
