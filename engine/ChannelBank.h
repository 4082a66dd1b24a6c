#pragma once

#include "engine/ChannelMixer.h"
#include "engine/NoiseChannel.h"
#include "engine/NoiseColours.h"
#include "engine/SoundOutput.h"
#include "files/Result.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace calmfield::engine {

// A colour whose sound file could not be used.
struct UnusableSoundFile {
    int colour;
    std::filesystem::path file;
    SoundFileFailure failure;
};

// The sound device and the five noise channels, brown to purple. A channel whose sound could not
// be loaded is absent: channel() gives null for it and the others play on.
class ChannelBank {
  public:
    static constexpr std::chrono::milliseconds kDeviceTimeout{3000};

    // Each channel wanders through its sound on a course drawn from `wanderSeed` and its colour.
    explicit ChannelBank(SoundOutput& output, WanderSeed wanderSeed = seedFromClock());
    ~ChannelBank();
    ChannelBank(const ChannelBank&) = delete;
    ChannelBank& operator=(const ChannelBank&) = delete;

    // Opens the sound device, or says why it cannot be reached within the timeout.
    OutputStart openDevice(std::chrono::milliseconds timeout = kDeviceTimeout);

    // Loads the sound file and creates the colour's channel, stopped at its start, or says what
    // went wrong when the file is missing or unusable; the slot then stays empty.
    files::Result<NoiseChannel*, UnusableSoundFile>
    createChannel(int colour, const std::filesystem::path& soundFile);

    // Creates every colour's channel from its sound file in `folder`; gives the files that could
    // not be used, brown to purple.
    std::vector<UnusableSoundFile> createChannels(const std::filesystem::path& folder);

    NoiseChannel* channel(int colour);

    // Stops every channel and moves it back to its start.
    void stopAndRewindAll();

    // Ramps one part of the gain over the whole mix, under the channels' own volumes, from where
    // it stands; the output plays the change at once.
    void rampMix(MasterGain::Part part, const MasterGain::Ramp& ramp);

    // Shapes everything the bank plays with the listener's tone; the output plays the change at
    // once, gliding to it.
    void setTone(const ToneSetting& tone);

    // Drifts each colour's level on its own path; the output plays the change at once.
    void setDrift(const DriftSetting& drift);
    // Glides the colour's level between two levels against the one set, in decibels, over
    // `seconds`; the last level holds until the next glide.
    void glideColour(int colour, float fromDb, float toDb, float seconds);
    // The colour's level against the one set as last played: its drift and its glide.
    float driftLevelDb(int colour) const { return mixer_.colourGains().levelDb(index(colour)); }

  private:
    SoundOutput& output_;
    ChannelMixer mixer_;
    std::array<std::unique_ptr<NoiseChannel>, kColourCount> channels_;
    bool deviceOpen_ = false;
    WanderSeed wanderSeed_;
};

} // namespace calmfield::engine
