#pragma once

namespace calmfield::engine {

// One second-order section of the tone, (s^2 + (k + mix) s + zero) / (s^2 + k s + 1) with s scaled
// by its pole frequency: `g` is that frequency warped for the bilinear transform
// (tan(pi * hz / rate)), `k` the damping, `mix` how much of the band-pass is added to the input
// and `zero` the square of the numerator's own frequency over the pole's. A peaking section has
// `zero` 1; a notch's has `mix` -k, its zeros on the frequency axis. A section whose `mix` is 0 and
// `zero` 1 passes its input unchanged, whatever `g` and `k`.
struct ToneSection {
    double g = 1.0;
    double k = 1.0;
    double mix = 0.0;
    double zero = 1.0;

    bool passesUnchanged() const noexcept { return mix == 0.0 && zero == 1.0; }
};

} // namespace calmfield::engine
