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
