#include "player/MixPlayer.h"
#include "tests/support/FakeVolumePort.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace calmfield::player {
namespace {

using persistence::kGreyed;
using persistence::kOff;
using persistence::kOn;

constexpr int kBrown = 0, kPink = 1, kWhite = 2, kBlue = 3;

class Player : public ::testing::Test {
  protected:
    Player() {
        EXPECT_TRUE(player.openVolumePort(std::chrono::seconds(1)));
        EXPECT_TRUE(player.openSoundDevice().ok());
        EXPECT_TRUE(player.createChannels().empty());
    }
    engine::NoiseChannel& channel(int colour) { return *bank.channel(colour); }

    QTemporaryDir scratch;
    testsupport::MemorySoundOutput output{22050};
    engine::ChannelBank bank{output};
    testsupport::FakeVolumePort volumePort;
    MixPlayer player{bank, volumePort,
                     testsupport::linkedProgramFolder(scratch.path().toStdString() + "/program")};
};

TEST_F(Player, ActsAndSignalsOnlyOnARealChange) {
    QSignalSpy volumes(&player, &MixPlayer::volumeChanged);
    QSignalSpy panning(&player, &MixPlayer::panningChanged);
    QSignalSpy toggles(&player, &MixPlayer::toggleChanged);
    QSignalSpy frequencies(&player, &MixPlayer::frequencyChanged);
    channel(kPink).setVolume(-700);
    channel(kPink).setPan(500);
    player.setVolume(kPink, 0);
    player.setPanning(0);
    player.setMasterVolume(MixPlayer::kStartingMaster);
    player.setFrequency(kPink, 32000); // the starting frequency: the file's own rate plays on
    player.setToggle(kBrown, kOff);
    EXPECT_EQ(channel(kPink).volume(), -700);
    EXPECT_EQ(channel(kPink).pan(), 500);
    EXPECT_EQ(channel(kPink).frequency(), 22050);
    EXPECT_TRUE(volumes.isEmpty() && panning.isEmpty() && toggles.isEmpty() &&
                frequencies.isEmpty());
    EXPECT_TRUE(volumePort.speakerVolumes().empty());

    player.setVolume(kPink, -10);
    EXPECT_EQ(channel(kPink).volume(), -10);
    ASSERT_EQ(volumes.size(), 1);
    EXPECT_EQ(volumes[0][0].toInt(), kPink);
}

// The channels are made silent at the mix's volumes; stopping stops each at its start and keeps
// the mix.
TEST_F(Player, MakesFiveSilentChannelsAndStopsEachAtItsStartKeepingTheMix) {
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        EXPECT_FALSE(channel(colour).isPlaying()) << colour;
        EXPECT_EQ(channel(colour).volume(), player.mix().volumes[engine::index(colour)]) << colour;
        player.setToggle(colour, kOn);
    }
    output.pull(30000);
    player.stopAndRewind();
    output.pull(1000);
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        EXPECT_FALSE(channel(colour).isPlaying()) << colour;
        EXPECT_EQ(player.mix().toggles[engine::index(colour)], kOn) << colour;
        channel(colour).play();
        EXPECT_EQ(output.playingPosition(channel(colour).sound()), 0) << colour;
        channel(colour).stop();
        output.pull(1000);
    }
}

TEST_F(Player, PanningMovesEveryChannelPlayingOrNotAndAGreyedToggleLeavesItsChannel) {
    player.setToggle(kPink, kOn);
    player.setPanning(-3000);
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        EXPECT_EQ(channel(colour).pan(), -3000) << colour;
    player.setToggle(kWhite, kOn); // started after the pan: keeps it
    EXPECT_EQ(channel(kWhite).pan(), -3000);

    player.setToggle(kBrown, kGreyed);
    EXPECT_FALSE(channel(kBrown).isPlaying());
    player.setToggle(kBlue, kOn);
    player.setToggle(kBlue, kGreyed);
    EXPECT_TRUE(channel(kBlue).isPlaying());
}

// Only Mute's own zeros are marked as Mute's: the volume port holds them across a change of output.
TEST_F(Player, MuteSavesTheMasterAndTheNextMuteRestoresItEvenAfterAMove) {
    using Volumes = std::vector<std::uint32_t>;
    player.toggleMute();
    EXPECT_EQ(player.masterVolume(), 0);
    player.setMasterVolume(20000); // moving while muted does not end the mute
    player.toggleMute();
    EXPECT_EQ(player.masterVolume(), MixPlayer::kStartingMaster);
    player.toggleMute(); // the counter went back to 0: mutes again
    EXPECT_EQ(player.masterVolume(), 0);
    EXPECT_EQ(volumePort.speakerVolumes(), (Volumes{0, 39800, 31840, 0}));
    EXPECT_EQ(volumePort.byMute(), (std::vector<bool>{true, false, false, true}));

    // The master's own 0 is not Mute's: Mute still tells the volume port, so that its 0 holds on
    // whichever output plays next, and the next press frees them.
    player.toggleMute();
    volumePort.clear();
    player.setMasterVolume(0);
    player.toggleMute();
    player.toggleMute();
    EXPECT_EQ(player.masterVolume(), 0);
    EXPECT_EQ(volumePort.speakerVolumes(), (Volumes{0, 0, 0}));
    EXPECT_EQ(volumePort.byMute(), (std::vector<bool>{false, true, false}));
}

TEST_F(Player, ResetAllTurnsOnlyWhatIsOnOffThenSetsVolumesAndFrequenciesAndLeavesTheRest) {
    player.setToggle(kPink, kOn);
    player.setToggle(kPink, kOff);
    player.setToggle(kBrown, kGreyed); // greyed is not off: Reset All turns it off
    player.setToggle(kWhite, kOn);
    player.setStartInTray(kOn);
    player.setPanning(1000);
    player.setMasterVolume(30000);
    player.toggleMute();
    volumePort.clear();
    QSignalSpy toggles(&player, &MixPlayer::toggleChanged);

    player.resetAll();
    ASSERT_EQ(toggles.size(), 2);
    EXPECT_EQ(toggles[0][0].toInt(), kBrown);
    EXPECT_EQ(toggles[1][0].toInt(), kWhite);
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        EXPECT_FALSE(channel(colour).isPlaying()) << colour;
        EXPECT_EQ(channel(colour).volume(), MixPlayer::kResetVolume) << colour;
        EXPECT_EQ(channel(colour).frequency(), MixPlayer::kResetFrequency) << colour;
        EXPECT_EQ(channel(colour).pan(), 1000) << colour;
    }
    EXPECT_EQ(player.startInTray(), kOn);
    EXPECT_TRUE(volumePort.speakerVolumes().empty());
    EXPECT_TRUE(player.muted());
    player.toggleMute();
    EXPECT_EQ(player.masterVolume(), 30000);
}

TEST_F(Player, LoadingSetsEveryChannelButSignalsOnlyWhatChanged) {
    QSignalSpy toggles(&player, &MixPlayer::toggleChanged);
    QSignalSpy frequencies(&player, &MixPlayer::frequencyChanged);
    QSignalSpy played(&player, &MixPlayer::channelFrequencyChanged);
    channel(kWhite).setVolume(-700);
    persistence::Mix mix;
    mix.toggles[kBrown] = kOn;
    mix.frequencies[kPink] = 12000;
    player.load(mix);

    EXPECT_EQ(player.mix(), mix);
    EXPECT_EQ(toggles.size(), 1);
    EXPECT_EQ(frequencies.size(), 1);
    EXPECT_EQ(played.size(), 5) << "each channel leaves its file's own rate";
    EXPECT_EQ(channel(kWhite).volume(), 0);
    EXPECT_EQ(channel(kWhite).frequency(), 32000);
    EXPECT_TRUE(channel(kBrown).isPlaying());
}

TEST_F(Player, TellsWhatPlaysLastTickedFirstAndAnnouncesEachChangeOnce) {
    QSignalSpy announced(&player, &MixPlayer::mediaStateChanged);
    player.setToggle(kBrown, kOn);
    player.setToggle(kPink, kOn);
    player.setToggle(kWhite, kGreyed); // greyed is not ticked
    EXPECT_EQ(player.mediaState().title, "Pink + Brown Noise");
    EXPECT_EQ(announced.size(), 2);

    player.pause();
    player.pause();
    EXPECT_EQ(player.mediaState().status, player::PlaybackStatus::Paused);
    EXPECT_EQ(announced.size(), 3);

    player.resetAll(); // turning a colour on would end the pause; turning them off keeps it
    EXPECT_EQ(player.mediaState().status, player::PlaybackStatus::Stopped);
    EXPECT_TRUE(player.paused());
    EXPECT_EQ(player.mix().volumes[kPink], MixPlayer::kResetVolume);
    player.setToggle(kWhite, kOn);
    EXPECT_FALSE(player.paused());
    EXPECT_EQ(player.mediaState().title, "White Noise");
}

// A sleep timer shorter than its fade fades over its whole length from the mix's own level, the
// start-up rise holding the sound down only as long as it alone would, whichever begins first.
TEST_F(Player, AShortSleepTimerFadesFromTheMixsLevelUnderTheStartupRise) {
    using namespace std::chrono_literals;
    using engine::MasterGain;
    const auto frames = [this](std::chrono::milliseconds time) {
        return static_cast<std::size_t>(time.count()) * output.sampleRate() / 1000;
    };
    // The level of the 50 ms around `at` in `out`, in decibels.
    const auto levelAround = [&](const std::vector<float>& out, std::chrono::milliseconds at) {
        double sum = 0.0;
        for (std::size_t i = 2 * frames(at - 25ms); i < 2 * frames(at + 25ms); ++i)
            sum += static_cast<double>(out[i]) * out[i];
        return 10.0 * std::log10(sum / static_cast<double>(2 * frames(50ms)));
    };
    persistence::Settings startup;
    startup.mix.toggles[kWhite] = kOn; // the steadiest
    player.load(startup);
    output.pull(frames(500ms));
    const double full = levelAround(output.pull(frames(1s)), 500ms);

    const MasterGain::Ramp rise{1.0f, MixFader::kGentleStart, MasterGain::Shape::Decibels, 0.0f};
    const MasterGain::Ramp fade{0.0f, 20s, MasterGain::Shape::Decibels};
    for (const bool timerFirst : {false, true}) {
        SCOPED_TRACE(timerFirst ? "the timer set first" : "the rise begun first");
        if (timerFirst)
            player.sleepTimer().start(20s);
        player.loadRisingGently(startup);
        if (!timerFirst)
            player.sleepTimer().start(20s);
        const auto heard = output.pull(frames(20s));
        for (const auto at : {500ms, 1000ms, 1500ms, 3000ms, 10000ms, 18000ms}) {
            const double alone =
                std::min(MasterGain::levelAt(rise, 0.0, at), MasterGain::levelAt(fade, 1.0, at));
            EXPECT_NEAR(levelAround(heard, at) - full, 20.0 * std::log10(alone), 1.0)
                << at.count() << " ms in";
        }
        player.sleepTimer().cancel();
        output.pull(frames(3s));
    }
}

} // namespace
} // namespace calmfield::player
