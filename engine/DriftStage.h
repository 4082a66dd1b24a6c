#pragma once

#include "engine/DriftPaths.h"
#include "engine/DriftSetting.h"
#include "engine/LatestValue.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// Each colour's own gain under the mix, as drift moves it: the paths stepped on their grid as
// frames are rendered, and each block's gain taken between the two steps around its start, so that
// it moves by a tiny amount from block to block and never jumps.
class DriftStage {
  public:
    using PerColour = DriftPaths::PerColour;

    // From the user-interface thread. Never blocks.
    void setDrift(const DriftSetting& setting) noexcept { setting_.publish(setting); }

    // On the audio thread, before a block of `frames` at `rate`: moves the paths on to the block's
    // start. `powers` is each colour's power in the mix as set, zero for one that does not play.
    void advance(std::size_t frames, std::uint32_t rate, const PerColour& powers) noexcept;

    // On the audio thread: the colour's gain for the block.
    float gain(std::size_t colour) const noexcept { return gains_[colour]; }

    // From any thread: the colour's drift as last rendered, 0 dB or below.
    float levelDb(std::size_t colour) const noexcept {
        return published_[colour].load(std::memory_order_relaxed);
    }

  private:
    LatestValue<DriftSetting> setting_;
    DriftPaths paths_;
    PerColour before_{};     // the levels one step before the paths'
    double sinceStep_ = 0.0; // seconds rendered since the paths' last step
    std::array<float, kColourCount> gains_{1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    std::array<std::atomic<float>, kColourCount> published_{};
    static_assert(std::atomic<float>::is_always_lock_free);
};

} // namespace calmfield::engine
