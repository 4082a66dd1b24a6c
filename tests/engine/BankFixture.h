#pragma once

#include "TestSounds.h"
#include "engine/ChannelBank.h"
#include "engine/ChannelVoice.h"
#include "tests/support/MemorySoundOutput.h"

#include <gtest/gtest.h>

namespace calmfield::testsupport {

// A channel bank playing into memory, with sounds written on the fly.
class BankFixture : public ::testing::Test {
  protected:
    explicit BankFixture(std::uint32_t outputRate = 22050) : output(outputRate), bank(output) {
        EXPECT_TRUE(bank.openDevice().ok());
    }

    engine::NoiseChannel& load(int colour, const std::vector<std::int16_t>& frames,
                               int fileRate = 22050) {
        const auto path = folder.path() / ("sound" + std::to_string(colour) + ".wav");
        writeStereoWav(path, frames, fileRate);
        auto made = bank.createChannel(colour, path);
        EXPECT_TRUE(made.ok());
        return *bank.channel(colour);
    }

    std::size_t ramp() const { return engine::ChannelVoice::rampFrames(output.sampleRate()); }
    // How many frames late the mix comes out.
    std::size_t latency() const { return engine::ChannelMixer::latencyFrames(output.sampleRate()); }

    static float left(const std::vector<float>& out, std::size_t frame) { return out[2 * frame]; }
    static float right(const std::vector<float>& out, std::size_t frame) {
        return out[2 * frame + 1];
    }
    static float scaled(std::int16_t sample) { return static_cast<float>(sample) / 32768.0f; }

    TemporaryFolder folder;
    testsupport::MemorySoundOutput output;
    engine::ChannelBank bank;
};

} // namespace calmfield::testsupport
