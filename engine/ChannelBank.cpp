#include "engine/ChannelBank.h"

#include "files/StoredName.h"

namespace calmfield::engine {

ChannelBank::ChannelBank(SoundOutput& output, WanderSeed wanderSeed)
    : output_(output), wanderSeed_(wanderSeed) {}

ChannelBank::~ChannelBank() {
    // An output that failed to start may still be trying to reach its device.
    output_.stop();
}

OutputStart ChannelBank::openDevice(std::chrono::milliseconds timeout) {
    if (deviceOpen_)
        return files::Done{};
    OutputStart started = output_.start(mixer_, timeout);
    deviceOpen_ = started.ok();
    return started;
}

files::Result<NoiseChannel*, UnusableSoundFile>
ChannelBank::createChannel(int colour, const std::filesystem::path& soundFile) {
    // A channel is created once: the audio thread may be playing it.
    if (NoiseChannel* made = channels_[static_cast<std::size_t>(colour)].get())
        return made;
    auto loaded = loadSoundFile(soundFile);
    if (!loaded.ok())
        return files::failure(UnusableSoundFile{colour, soundFile, loaded.reason()});
    auto& slot = channels_[static_cast<std::size_t>(colour)];
    WanderSeed seed;
    if (wanderSeed_)
        seed = SplitMix64(*wanderSeed_ + static_cast<std::uint64_t>(colour)).next();
    slot = std::make_unique<NoiseChannel>(
        std::move(loaded.value()), [this] { output_.wake(); }, seed);
    mixer_.attach(colour, &slot->voice());
    return slot.get();
}

std::vector<UnusableSoundFile> ChannelBank::createChannels(const std::filesystem::path& folder) {
    std::vector<UnusableSoundFile> unusable;
    for (int colour = 0; colour < kColourCount; ++colour) {
        const auto file = files::resolveStoredName(
            folder, kNoiseColours[static_cast<std::size_t>(colour)].soundFile);
        if (auto made = createChannel(colour, file); !made.ok())
            unusable.push_back(made.reason());
    }
    return unusable;
}

NoiseChannel* ChannelBank::channel(int colour) {
    if (colour < 0 || colour >= kColourCount)
        return nullptr;
    return channels_[static_cast<std::size_t>(colour)].get();
}

void ChannelBank::stopAndRewindAll() {
    for (auto& channel : channels_) {
        if (channel) {
            channel->stop();
            channel->setPosition(0);
        }
    }
}

void ChannelBank::rampMix(MasterGain::Part part, const MasterGain::Ramp& ramp) {
    mixer_.masterGain().rampTo(part, ramp);
    output_.wake();
}

void ChannelBank::setDrift(const DriftSetting& drift) {
    mixer_.colourGains().setDrift(drift);
    output_.wake();
}

void ChannelBank::glideColour(int colour, float fromDb, float toDb, float seconds) {
    mixer_.colourGains().glide(index(colour), {fromDb, toDb, seconds});
    output_.wake();
}

void ChannelBank::setTone(const ToneSetting& tone) {
    mixer_.setTone(tone);
    output_.wake();
}

} // namespace calmfield::engine
