#include "player/MixPlayer.h"
#include "tests/support/FakeVolumePort.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

namespace calmfield::player {
namespace {

using persistence::kGreyed;
using persistence::kOff;
using persistence::kOn;
using platform::MediaPlayer;

constexpr int kBrown = 0, kPink = 1, kWhite = 2;

class Player : public ::testing::Test {
  protected:
    Player() {
        EXPECT_TRUE(player.openVolumePort(std::chrono::seconds(1)));
        EXPECT_TRUE(player.openSoundDevice());
        EXPECT_TRUE(player.createChannels().empty());
    }
    engine::NoiseChannel& channel(int colour) { return *player.bank().channel(colour); }

    QTemporaryDir scratch;
    testsupport::MemorySoundOutput output{22050};
    testsupport::FakeVolumePort volumePort;
    MixPlayer player{output, volumePort,
                     testsupport::linkedProgramFolder(scratch.path().toStdString() + "/program")};
};

TEST_F(Player, ActsAndSignalsOnlyOnARealChange) {
    QSignalSpy volumes(&player, &MixPlayer::volumeChanged);
    QSignalSpy panning(&player, &MixPlayer::panningChanged);
    channel(kPink).setVolume(-700);
    channel(kPink).setPan(500);
    player.setVolume(kPink, 0);
    player.setPanning(0);
    player.setMasterVolume(MixPlayer::kStartingMaster);
    EXPECT_EQ(channel(kPink).volume(), -700);
    EXPECT_EQ(channel(kPink).pan(), 500);
    EXPECT_TRUE(volumes.isEmpty() && panning.isEmpty());
    EXPECT_TRUE(volumePort.speakerVolumes().empty());

    player.setVolume(kPink, -10);
    EXPECT_EQ(channel(kPink).volume(), -10);
    ASSERT_EQ(volumes.size(), 1);
    EXPECT_EQ(volumes[0][0].toInt(), kPink);
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
    EXPECT_EQ(player.mediaState().status, MediaPlayer::Status::Paused);
    EXPECT_EQ(announced.size(), 3);

    player.resetAll(); // turning a colour on would end the pause; turning them off keeps it
    EXPECT_EQ(player.mediaState().status, MediaPlayer::Status::Stopped);
    EXPECT_TRUE(player.paused());
    EXPECT_EQ(player.mix().volumes[kPink], MixPlayer::kResetVolume);
    player.setToggle(kWhite, kOn);
    EXPECT_FALSE(player.paused());
    EXPECT_EQ(player.mediaState().title, "White Noise");
}

} // namespace
} // namespace calmfield::player
