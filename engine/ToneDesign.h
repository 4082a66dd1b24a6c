#pragma once

#include "engine/NoiseColours.h"
#include "engine/NotchDesign.h"
#include "engine/ToneSection.h"
#include "engine/ToneSetting.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// A noise the tone shapes, as the output plays it: its power (the mean square of both sides) and
// the shape of its power spectrum, which rises by `slopeDbPerOctave` each octave, is held level
// below `levelBelowHz` and ends at `topHz`. What lies above half the output's rate is not heard.
struct ToneSource {
    double power = 0.0;
    double slopeDbPerOctave = 0.0;
    double levelBelowHz = 0.0;
    double topHz = 0.0;

    bool operator==(const ToneSource&) const = default;
};

// The colours that play at once, at their volumes, which the tone's input is lowered for.
struct ToneMix {
    std::array<ToneSource, kColourCount> sources{};

    // True when nothing plays.
    bool silent() const noexcept;
    bool operator==(const ToneMix&) const = default;
};

// What a tone setting becomes at one output rate: a cascade of sections, a peaking one per band
// and the notch's band-stop, and the gain the input is lowered by first. Fixed-size arithmetic
// only, so that the audio thread may design one whenever the setting, the mix or the rate changes.
struct ToneDesign {
    static constexpr std::size_t kFirstNotchSection = ToneSetting::kBandCount;
    static constexpr std::size_t kSectionCount = ToneSetting::kBandCount + kNotchOrder;
    // A band or a notch is shaped only while its centre lies at or below this share of the rate;
    // above it, it stays flat.
    static constexpr double kHighestCentreShare = kNotchHighestShare;

    std::array<ToneSection, kSectionCount> sections{};
    // Lowers the input by the cascade's power gain over the mix, so that the mix as a whole comes
    // out no louder than through a flat tone while a boosted band is heard louder than the rest;
    // a tone that takes more away than it adds leaves the input as it is.
    double inputGain = 1.0;

    // The design for `setting` at `rate`, its input lowered for `mix`. Each band's section is
    // given the gain that brings the whole cascade to the band's setting at the band's centre,
    // overlap and all.
    static ToneDesign of(const ToneSetting& setting, std::uint32_t rate,
                         const ToneMix& mix) noexcept;

    // Sets the input gain for `mix` at `rate`.
    void lowerInputFor(const ToneMix& mix, std::uint32_t rate) noexcept;

    // The cascade's power gain over `mix` at `rate`: the power of the shaped mix over that of the
    // mix, or 1 when nothing plays. Reckoned over a fixed grid of frequencies.
    double powerGain(const ToneMix& mix, std::uint32_t rate) const noexcept;

    // The design `share` (0 to 1) of the way from `from` to `to`, section parameter by section
    // parameter: with g and k above 0 all along, every section on the way is stable.
    static ToneDesign between(const ToneDesign& from, const ToneDesign& to, double share) noexcept;

    // True when every section passes its input unchanged and the input gain is 1.
    bool passesUnchanged() const noexcept;

    // The cascade's gain at `hz`, in decibels, without the input gain.
    double responseDb(double hz, std::uint32_t rate) const noexcept;
};

} // namespace calmfield::engine
