#pragma once

#include "engine/LatestValue.h"
#include "engine/NoiseColours.h"

#include <array>
#include <cstddef>

namespace calmfield::engine {

// Each colour's glide from one level to another, in decibels against the level set: how a routine
// takes over what plays, colour by colour. A glide between two levels is straight in decibels; one
// from or to silence (kSilenceDb or below) follows a quarter sine in amplitude, so that a colour
// leaving and one arriving together keep the mix's power. A glide that has ended holds its last
// level until the next.
class ColourGlides {
  public:
    static constexpr double kSilenceDb = -60.0;

    struct Glide {
        float fromDb = 0.0f;
        float toDb = 0.0f;
        float seconds = 0.0f;
    };

    // From the user-interface thread: starts the colour's glide, replacing any that runs. Never
    // blocks.
    void glide(std::size_t colour, const Glide& glide) noexcept {
        requests_[colour].publish(glide);
    }

    // On the audio thread: each colour's level now.
    double levelDb(std::size_t colour) const noexcept;
    // On the audio thread: moves every glide `seconds` on, then starts those asked for since.
    void advance(double seconds) noexcept;

  private:
    struct Running {
        Glide glide;
        double elapsed = 0.0;
    };
    std::array<LatestValue<Glide>, kColourCount> requests_{};
    std::array<Running, kColourCount> running_{};
};

} // namespace calmfield::engine
