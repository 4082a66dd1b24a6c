#include "MainWindowFixture.h"

#include <vector>

namespace calmfield {
namespace {

using testing::MainWindowFixture;
using widgets::CheckBox;
using Volumes = std::vector<std::uint32_t>;

constexpr int kBrown = 0, kPink = 1, kWhite = 2;

class MuteAndReset : public MainWindowFixture {};

TEST_F(MuteAndReset, MuteSavesTheMasterValueAndTheNextMuteRestoresItEvenAfterAMove) {
    form->muteButton->click();
    EXPECT_EQ(form->masterVolumeSlider->value(), 0);
    EXPECT_EQ(speakers.speakerVolumes(), Volumes{0});

    form->masterVolumeSlider->setValue(20000); // moving while muted does not end the mute
    form->muteButton->click();
    EXPECT_EQ(form->masterVolumeSlider->value(), 16000);
    EXPECT_EQ(speakers.speakerVolumes(), (Volumes{0, 39800, 31840}));

    form->muteButton->click(); // the counter went back to 0: mutes again
    EXPECT_EQ(form->masterVolumeSlider->value(), 0);
    EXPECT_EQ(speakers.speakerVolumes(), (Volumes{0, 39800, 31840, 0}));
    // Only Mute's own zeros are marked as Mute's: the speakers hold them across a change of output.
    EXPECT_EQ(speakers.byMute(), (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(form->muteButton->text(), "Mute");
}

// The slider's 0 is not Mute's: Mute still tells the speakers, so that its 0 holds on whichever
// output plays next, and the next press frees them.
TEST_F(MuteAndReset, MuteWithTheMasterAlreadyAtZeroMarksTheZeroAsMutes) {
    form->masterVolumeSlider->setValue(0);
    EXPECT_EQ(speakers.byMute(), std::vector<bool>{false});
    speakers.clear();
    form->muteButton->click();
    form->muteButton->click();
    EXPECT_EQ(form->masterVolumeSlider->value(), 0);
    EXPECT_EQ(speakers.speakerVolumes(), (Volumes{0, 0}));
    EXPECT_EQ(speakers.byMute(), (std::vector<bool>{true, false}));
}

TEST_F(MuteAndReset, ResetAllStopsTheColoursThenSetsVolumesAndFrequencies) {
    form->colourToggles[0]->setValue(CheckBox::kOn);
    form->colourToggles[2]->setValue(CheckBox::kOn);
    form->startInTrayBox->setValue(CheckBox::kOn);
    form->panningSlider->setValue(1000);
    form->masterVolumeSlider->setValue(30000);
    speakers.clear();

    form->resetAllButton->click();
    for (CheckBox* toggle : form->colourToggles)
        EXPECT_EQ(toggle->value(), CheckBox::kOff);
    for (int colour = 0; colour < 5; ++colour) {
        EXPECT_FALSE(channel(colour).isPlaying()) << colour;
        EXPECT_EQ(channel(colour).volume(), -1500) << colour;
        EXPECT_EQ(channel(colour).frequency(), 32767) << colour;
        EXPECT_EQ(channel(colour).pan(), 1000) << colour;
    }
    // White was the last toggle turned off, so its picture is left showing.
    EXPECT_EQ(shownPicture(),
              testing::colourPicture(folder, kWhite).convertToFormat(shownPicture().format()));
    EXPECT_EQ(form->panningSlider->value(), 1000);
    EXPECT_EQ(form->masterVolumeSlider->value(), 30000);
    EXPECT_EQ(form->startInTrayBox->value(), CheckBox::kOn);
    EXPECT_TRUE(speakers.speakerVolumes().empty());
    EXPECT_EQ(form->frequencyReadouts[0]->text(), "32767");
}

TEST_F(MuteAndReset, ResetAllWithEveryColourOffRunsNoToggleHandler) {
    form->colourToggles[1]->setValue(CheckBox::kOn);
    form->colourToggles[1]->setValue(CheckBox::kOff);
    const QImage pink = shownPicture();
    form->colourToggles[0]->setValue(
        CheckBox::kGreyed); // greyed is not off: Reset All turns it off
    form->colourToggles[0]->setValue(CheckBox::kOff);
    const QImage brown = shownPicture();
    ASSERT_NE(pink, brown);

    form->resetAllButton->click();
    EXPECT_EQ(shownPicture(), brown);
    EXPECT_FALSE(channel(kBrown).isPlaying());
    EXPECT_EQ(channel(kPink).volume(), -1500);
}

TEST_F(MuteAndReset, ResetAllLeavesTheMuteStateAlone) {
    form->muteButton->click();
    form->resetAllButton->click();
    form->muteButton->click();
    EXPECT_EQ(form->masterVolumeSlider->value(), 16000);
    EXPECT_EQ(speakers.speakerVolumes(), (Volumes{0, 31840}));
}

} // namespace
} // namespace calmfield
