#include "engine/ColourGainStage.h"

#include <cmath>

namespace calmfield::engine {

void ColourGainStage::advance(std::size_t frames, std::uint32_t rate,
                              const PerColour& powers) noexcept {
    if (rate == 0)
        return;
    DriftSetting setting;
    if (setting_.take(setting))
        paths_.setSetting(setting);
    glides_.advance(lastBlockSeconds_);
    // The paths stay one step ahead of the block's start, so that its level lies between two
    // steps.
    while (sinceStep_ >= 0.0) {
        before_ = paths_.levelsDb();
        paths_.step(powers);
        sinceStep_ -= DriftPaths::kStepSeconds;
    }
    const double share = 1.0 + sinceStep_ / DriftPaths::kStepSeconds; // 0 to 1 between the steps
    const PerColour& after = paths_.levelsDb();
    for (std::size_t colour = 0; colour < gains_.size(); ++colour) {
        const double level =
            before_[colour] + share * (after[colour] - before_[colour]) + glides_.levelDb(colour);
        gains_[colour] = level == 0.0 ? 1.0f : static_cast<float>(std::pow(10.0, level / 20.0));
        published_[colour].store(static_cast<float>(level), std::memory_order_relaxed);
    }
    sinceStep_ += static_cast<double>(frames) / rate;
    lastBlockSeconds_ = static_cast<double>(frames) / rate;
}

} // namespace calmfield::engine
