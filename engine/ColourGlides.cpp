#include "engine/ColourGlides.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calmfield::engine {

double ColourGlides::levelDb(std::size_t colour) const noexcept {
    const Running& running = running_[colour];
    if (running.elapsed >= running.glide.seconds)
        return running.glide.toDb;
    const Glide& glide = running.glide;
    const double share = running.elapsed / glide.seconds;
    const double quarter = std::numbers::pi / 2 * share;
    if (glide.toDb <= kSilenceDb)
        return std::max(kSilenceDb, glide.fromDb + 20.0 * std::log10(std::cos(quarter)));
    if (glide.fromDb <= kSilenceDb)
        return std::max(kSilenceDb, glide.toDb + 20.0 * std::log10(std::sin(quarter)));
    return glide.fromDb + share * (glide.toDb - glide.fromDb);
}

void ColourGlides::advance(double seconds) noexcept {
    for (std::size_t colour = 0; colour < running_.size(); ++colour) {
        Glide asked;
        if (requests_[colour].take(asked))
            running_[colour] = {asked, 0.0};
        else
            running_[colour].elapsed += seconds;
    }
}

} // namespace calmfield::engine
