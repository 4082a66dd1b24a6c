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
files::Result<files::Done, engine::UnusableSoundFile> setUpChannels(engine::ChannelBank& bank,
                                                                    const RenderJob& job) {
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        if (job.mix.toggles[index(colour)] != persistence::kOn)
            continue;
        const auto file = files::resolveStoredName(job.soundFolder,
                                                   engine::kNoiseColours[index(colour)].soundFile);
        auto made = bank.createChannel(colour, file);
        if (!made.ok())
            return files::failure(made.reason());
        engine::NoiseChannel& channel = *made.value();
        channel.setVolume(job.mix.volumes[index(colour)]);
        channel.setFrequency(job.mix.frequencies[index(colour)]);
        channel.play();
    }
    return files::Done{};
}

} // namespace

bool anyColourTicked(const persistence::Mix& mix) {
    return std::any_of(mix.toggles.begin(), mix.toggles.end(),
                       [](int state) { return state == persistence::kOn; });
}

RenderResult renderMix(const RenderJob& job, const RenderProgress& progress) {
    const std::uint64_t total = static_cast<std::uint64_t>(job.length.count()) * job.rate;
    const FormatChoice choice = chooseFormat(job.target, job.rate, total);
    if (!choice.ok())
        return files::failure(RenderFailure(choice.reason()));
    OfflineOutput output(job.rate);
    engine::ChannelBank bank(output, job.wanderSeed);
    (void)bank.openDevice();
    bank.setTone(job.tone);
    bank.setDrift(job.mix.drift);
    if (auto setUp = setUpChannels(bank, job); !setUp.ok())
        return files::failure(RenderFailure(setUp.reason()));
    // Loading may have taken a while; a render stopped meanwhile leaves nothing behind.
    if (progress && !progress(0, total))
        return Rendered::stopped;
    auto created = RenderedFile::create(job.target, choice.value(), job.rate);
    if (!created.ok())
        return files::failure(RenderFailure(created.reason()));
    RenderedFile& file = *created.value();

    const std::uint64_t fadeOutStart =
        total - static_cast<std::uint64_t>(kFadeOut.count()) * job.rate;
    std::array<float, 2 * kBlockFrames> block{};
    // The first frame, silent as the limiter's delay line still is, takes the mix down to
    // silence for the fade in to rise from.
    bank.rampMix(MasterGain::Part::Rise,
                 {0.0f, std::chrono::milliseconds{0}, MasterGain::Shape::Linear});
    output.pull(block.data(), 1);
    bank.rampMix(MasterGain::Part::Rise, {1.0f, kFadeIn, MasterGain::Shape::Decibels});
    std::uint64_t done = 1;
    if (auto written = file.write(block.data(), 1); !written.ok())
        return files::failure(RenderFailure(written.reason()));
    while (done < total) {
        // A block ends where the fade out begins, so that it begins on its very frame.
        std::uint64_t end = std::min(total, done + kBlockFrames);
        if (done < fadeOutStart)
            end = std::min(end, fadeOutStart);
        else if (done == fadeOutStart)
            bank.rampMix(MasterGain::Part::Fade, {0.0f, kFadeOut, MasterGain::Shape::Decibels});
        const auto frames = static_cast<std::size_t>(end - done);
        output.pull(block.data(), frames);
        if (auto written = file.write(block.data(), frames); !written.ok())
            return files::failure(RenderFailure(written.reason()));
        done = end;
        if (progress && !progress(done, total))
            return Rendered::stopped;
    }
    if (auto finished = file.finish(); !finished.ok())
        return files::failure(RenderFailure(finished.reason()));
    return Rendered::written;
}

} // namespace calmfield::render
