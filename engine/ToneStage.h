#pragma once

#include "engine/LatestValue.h"
#include "engine/ToneDesign.h"
#include "engine/ToneSetting.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// Shapes the mix with the listener's tone on the audio thread: the input lowered by the tone's
// power gain over what plays, then the design's sections, in double precision. A change of
// the tone or of what plays glides from what is heard to the new design within kGlideSeconds, so
// that it never clicks; a flat tone is passed by untouched once the glide to it is over.
class ToneStage {
  public:
    static constexpr double kGlideSeconds = 0.03;

    // From the user-interface thread: the tone to glide to. Never blocks.
    void setTone(const ToneSetting& tone) noexcept { setting_.publish(tone); }

    // On the audio thread, before process(): what plays, which the input is lowered for. While
    // nothing plays the input gain stays as it was, for whatever is still dying away.
    void setMix(const ToneMix& mix) noexcept;

    // On the audio thread: shapes `frames` interleaved stereo frames at `rate` in place. Never
    // blocks, allocates or locks; designs anew when the tone or the rate changes.
    void process(float* interleavedStereo, std::size_t frames, std::uint32_t rate) noexcept;

    // On the audio thread: true while the filters still ring with sound that has gone in.
    bool holdsSound() const noexcept { return ringing_; }

  private:
    // The coefficients are worked out afresh this often while a glide runs.
    static constexpr std::size_t kStepFrames = 16;
    static constexpr std::size_t kSections = ToneDesign::kSectionCount;

    // A section as a biquad in transposed direct form II: y = b0 x + s1, then s1 = b1 x - a1 y + s2
    // and s2 = b2 x - a2 y.
    struct Coefficients {
        double b0, b1, a1, b2, a2;
    };
    struct State {
        std::array<double, 2> s1{}; // left and right
        std::array<double, 2> s2{};
    };
    // The sections at work, in order, packed together for the inner loop.
    struct Packed {
        std::array<Coefficients, kSections> coefficients;
        std::array<State, kSections> states;
        std::size_t count;
    };

    void retarget(std::uint32_t rate) noexcept;
    // Glides to the input gain for the mix as it now is.
    void relevel(std::uint32_t rate) noexcept;
    // How far the glide has come, from 0 to 1.
    double glideShare() const noexcept;
    void stepGlide(std::size_t frames) noexcept;
    void useCoefficients(const ToneDesign& design) noexcept;
    void shape(float* interleavedStereo, std::size_t frames) noexcept;
    void settleIfQuiet(bool heardInput) noexcept;

    LatestValue<ToneSetting> setting_;
    ToneSetting heard_{};
    std::uint32_t rate_ = 0;
    ToneMix mix_{};
    bool mixChanged_ = false;
    // Sound begins after silence: the input gain may be taken at once, as nothing goes in.
    bool soundBegins_ = false;

    ToneDesign from_{};
    ToneDesign target_{};
    std::size_t glideFrames_ = 0;
    std::size_t glideLeft_ = 0;
    bool running_ = false;
    bool ringing_ = false;

    double inputGain_ = 1.0;
    std::array<Coefficients, kSections> coefficients_{};
    std::array<bool, kSections> active_{};
    std::array<State, kSections> states_{};
    Packed packed_{};
};

} // namespace calmfield::engine
