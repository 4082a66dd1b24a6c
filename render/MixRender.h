#pragma once

#include "engine/ChannelBank.h"
#include "engine/ToneSetting.h"
#include "engine/WanderingReader.h"
#include "files/Result.h"
#include "persistence/Mix.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>

namespace calmfield::render {

// The render fades in over its first seconds and out, as the sleep timer's fade does, over its
// last ones; the shortest render holds both.
inline constexpr std::chrono::seconds kFadeIn{2};
inline constexpr std::chrono::seconds kFadeOut{10};
inline constexpr std::chrono::seconds kShortestRender = kFadeIn + kFadeOut;
inline constexpr std::chrono::seconds kLongestRender{24 * 60 * 60};

struct RenderJob {
    // What plays: the ticked colours at their volumes and frequencies, panned to the centre, and
    // their drift.
    persistence::Mix mix;
    // Holds the sound files.
    std::filesystem::path soundFolder;
    std::filesystem::path target;
    std::chrono::seconds length{kShortestRender};
    std::uint32_t rate = 48000;
    engine::WanderSeed wanderSeed = engine::seedFromClock();
    // Shapes the whole render as it shapes what the player plays.
    engine::ToneSetting tone{};
};

// Told how far the render has come after each block; answers false to stop it.
using RenderProgress = std::function<bool(std::uint64_t framesDone, std::uint64_t framesTotal)>;

// How a render that did not fail ended.
enum class Rendered { written, stopped };

// Why a render failed: a sound file of a ticked colour that cannot be used, or the words of a
// failure to write.
using RenderFailure = std::variant<engine::UnusableSoundFile, std::string>;

using RenderResult = files::Result<Rendered, RenderFailure>;

// Whether any colour of the mix plays; a greyed toggle does not.
bool anyColourTicked(const persistence::Mix& mix);

// Renders the mix to the job's target in its format, block by block so that memory does not grow
// with the length. Nothing is left at the target, nor beside it, unless the whole render was
// written.
RenderResult renderMix(const RenderJob& job, const RenderProgress& progress = {});

} // namespace calmfield::render
