#pragma once

#include "engine/ColourGlides.h"
#include "engine/DriftPaths.h"
#include "engine/DriftSetting.h"
#include "engine/LatestValue.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// Each colour's own gain under the mix: its drift, the paths stepped on their grid as frames are
// rendered and each block's level taken between the two steps around its start, and its glide as
// a routine takes over, so that it moves by a tiny amount from block to block and never jumps.
class ColourGainStage {
  public:
    using PerColour = DriftPaths::PerColour;

    // From the user-interface thread. Never blocks.
    void setDrift(const DriftSetting& setting) noexcept { setting_.publish(setting); }
    void glide(std::size_t colour, const ColourGlides::Glide& glide) noexcept {
        glides_.glide(colour, glide);
    }

    // On the audio thread, before a block of `frames` at `rate`: moves the paths on to the block's
    // start. `powers` is each colour's power in the mix as set, zero for one that does not play.
    void advance(std::size_t frames, std::uint32_t rate, const PerColour& powers) noexcept;

    // On the audio thread: the colour's gain for the block.
    float gain(std::size_t colour) const noexcept { return gains_[colour]; }

    // From any thread: the colour's level against the one set as last rendered, drift and glide
    // together.
    float levelDb(std::size_t colour) const noexcept {
        return published_[colour].load(std::memory_order_relaxed);
    }

  private:
    LatestValue<DriftSetting> setting_;
    DriftPaths paths_;
    ColourGlides glides_;
    PerColour before_{};     // the levels one step before the paths'
    double sinceStep_ = 0.0; // seconds rendered since the paths' last step
    double lastBlockSeconds_ = 0.0;
    std::array<float, kColourCount> gains_{1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    std::array<std::atomic<float>, kColourCount> published_{};
    static_assert(std::atomic<float>::is_always_lock_free);
};

} // namespace calmfield::engine
