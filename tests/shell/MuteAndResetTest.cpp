#include "MainWindowFixture.h"

#include <vector>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::MainWindowFixture;
using widgets::CheckBox;

constexpr int kWhite = 2;

class MuteAndReset : public MainWindowFixture {};

TEST_F(MuteAndReset, MuteReachesThePlayerAndTheMasterSliderShowsIt) {
    masterVolumeSlider(form)->setValue(20000);
    muteButton(form)->click();
    EXPECT_TRUE(session->player().muted());
    EXPECT_EQ(masterVolumeSlider(form)->value(), 0);
    muteButton(form)->click();
    EXPECT_EQ(masterVolumeSlider(form)->value(), 20000);
    EXPECT_EQ(muteButton(form)->text(), "Mute");
}

// Ending the run while muted gives the speakers back their volume, unless the user has moved the
// master slider since.
TEST_F(MuteAndReset, ClosingWhileMutedLeavesTheSpeakersAsMuteFoundThem) {
    masterVolumeSlider(form)->setValue(20000);
    muteButton(form)->click();
    volumePort.clear();
    form->close();
    EXPECT_EQ(volumePort.speakerVolumes(),
              std::vector<std::uint32_t>{player::speakerVolumeForMasterPosition(20000)});
    EXPECT_EQ(volumePort.byMute(), std::vector<bool>{false}) << "to every speaker Mute silenced";
    EXPECT_EQ(volumePort.calls().back(), "settle");

    startAgain();
    muteButton(form)->click();
    masterVolumeSlider(form)->setValue(5000);
    volumePort.clear();
    form->close();
    EXPECT_TRUE(volumePort.calls().empty()) << "the slider the user moved holds";
}

TEST_F(MuteAndReset, ResetAllReachesThePlayerAndTheControlsShowIt) {
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    colourToggles(form)[2]->setValue(CheckBox::kOn);

    resetAllButton(form)->click();
    for (int colour = 0; colour < 5; ++colour) {
        const auto i = static_cast<std::size_t>(colour);
        EXPECT_EQ(colourToggles(form)[i]->value(), CheckBox::kOff) << colour;
        EXPECT_FALSE(channel(colour).isPlaying()) << colour;
        EXPECT_EQ(volumeSliders(form)[i]->value(), -1500) << colour;
        EXPECT_EQ(frequencySliders(form)[i]->value(), 32767) << colour;
        EXPECT_EQ(frequencyReadouts(form)[i]->text(), "32767") << colour;
    }
    // White was the last toggle turned off, so its picture is left showing.
    EXPECT_EQ(shownPicture(),
              testsupport::colourPicture(folder, kWhite).convertToFormat(shownPicture().format()));
}

} // namespace
} // namespace calmfield
