#include "render/MixRender.h"

#include "files/StoredName.h"
#include "render/OfflineOutput.h"
#include "render/RenderFormat.h"
#include "render/RenderedFile.h"

#include <algorithm>
#include <array>
#include <memory>

namespace calmfield::render {
namespace {

using engine::MasterGain;

constexpr std::size_t kBlockFrames = 4096;

using engine::index;

// Loads the sound of every ticked colour and sets its channel as the player would.
std::optional<engine::UnusableSoundFile> setUpChannels(engine::ChannelBank& bank,
                                                       const RenderJob& job) {
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        if (job.mix.toggles[index(colour)] != persistence::kOn)
            continue;
        const auto file = files::resolveStoredName(job.soundFolder,
                                                   engine::kNoiseColours[index(colour)].soundFile);
        if (auto unusable = bank.createChannel(colour, file))
            return unusable;
        engine::NoiseChannel& channel = *bank.channel(colour);
        channel.setVolume(job.mix.volumes[index(colour)]);
        channel.setFrequency(job.mix.frequencies[index(colour)]);
        channel.play();
    }
    return std::nullopt;
}

} // namespace

bool anyColourTicked(const persistence::Mix& mix) {
    return std::any_of(mix.toggles.begin(), mix.toggles.end(),
                       [](int state) { return state == persistence::kOn; });
}

RenderResult renderMix(const RenderJob& job, const RenderProgress& progress) {
    RenderResult result;
    const std::uint64_t total = static_cast<std::uint64_t>(job.length.count()) * job.rate;
    const FormatChoice choice = chooseFormat(job.target, job.rate, total);
    if (!choice.ok()) {
        result.error = choice.refusal;
        return result;
    }
    OfflineOutput output(job.rate);
    engine::ChannelBank bank(output, job.wanderSeed);
    bank.openDevice();
    if (auto unusable = setUpChannels(bank, job)) {
        result.unusableSound = std::move(unusable);
        return result;
    }
    // Loading may have taken a while; a render stopped meanwhile leaves nothing behind.
    if (progress && !progress(0, total)) {
        result.outcome = RenderResult::Outcome::stopped;
        return result;
    }
    auto file = RenderedFile::create(job.target, choice.format, job.rate, result.error);
    if (!file)
        return result;

    const std::uint64_t fadeOutStart =
        total - static_cast<std::uint64_t>(kFadeOut.count()) * job.rate;
    std::array<float, 2 * kBlockFrames> block{};
    // The first frame, silent as the limiter's delay line still is, takes the mix down to
    // silence for the fade in to rise from.
    bank.rampMix({0.0f, std::chrono::milliseconds{0}, MasterGain::Shape::Linear});
    output.pull(block.data(), 1);
    bank.rampMix({1.0f, kFadeIn, MasterGain::Shape::Decibels});
    std::uint64_t done = 1;
    if (!file->write(block.data(), 1)) {
        result.error = file->error();
        return result;
    }
    while (done < total) {
        // A block ends where the fade out begins, so that it begins on its very frame.
        std::uint64_t end = std::min(total, done + kBlockFrames);
        if (done < fadeOutStart)
            end = std::min(end, fadeOutStart);
        else if (done == fadeOutStart)
            bank.rampMix({0.0f, kFadeOut, MasterGain::Shape::Decibels});
        const auto frames = static_cast<std::size_t>(end - done);
        output.pull(block.data(), frames);
        if (!file->write(block.data(), frames)) {
            result.error = file->error();
            return result;
        }
        done = end;
        if (progress && !progress(done, total)) {
            result.outcome = RenderResult::Outcome::stopped;
            return result;
        }
    }
    if (!file->finish()) {
        result.error = file->error();
        return result;
    }
    result.outcome = RenderResult::Outcome::written;
    return result;
}

} // namespace calmfield::render
