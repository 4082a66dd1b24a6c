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
    form->Command4->click();
    EXPECT_EQ(form->HScroll2->value(), 0);
    EXPECT_EQ(mixer.speakerVolumes(), Volumes{0});

    form->HScroll2->setValue(20000); // moving while muted does not end the mute
    form->Command4->click();
    EXPECT_EQ(form->HScroll2->value(), 16000);
    EXPECT_EQ(mixer.speakerVolumes(), (Volumes{0, 39800, 31840}));

    form->Command4->click(); // the counter went back to 0: mutes again
    EXPECT_EQ(form->HScroll2->value(), 0);
    EXPECT_EQ(mixer.speakerVolumes(), (Volumes{0, 39800, 31840, 0}));
    EXPECT_EQ(form->Command4->text(), "Mute");
}

TEST_F(MuteAndReset, MuteWithTheMasterAlreadyAtZeroSendsNothing) {
    form->HScroll2->setValue(0);
    mixer.clear();
    form->Command4->click();
    form->Command4->click();
    EXPECT_EQ(form->HScroll2->value(), 0);
    EXPECT_TRUE(mixer.speakerVolumes().empty());
}

TEST_F(MuteAndReset, ResetAllStopsTheColoursThenSetsVolumesAndFrequencies) {
    form->Check1->setValue(CheckBox::kOn);
    form->Check3->setValue(CheckBox::kOn);
    form->Check6->setValue(CheckBox::kOn);
    form->HScroll1->setValue(1000);
    form->HScroll2->setValue(30000);
    mixer.clear();

    form->Command6->click();
    for (CheckBox* toggle : {form->Check1, form->Check2, form->Check3, form->Check4, form->Check5})
        EXPECT_EQ(toggle->value(), CheckBox::kOff);
    for (int colour = 0; colour < 5; ++colour) {
        EXPECT_FALSE(channel(colour).isPlaying()) << colour;
        EXPECT_EQ(channel(colour).volume(), -1500) << colour;
        EXPECT_EQ(channel(colour).GetFrequency(), 32767) << colour;
        EXPECT_EQ(channel(colour).pan(), 1000) << colour;
    }
    // White was the last toggle turned off, so its picture is left showing.
    EXPECT_EQ(shownPicture(),
              testing::colourPicture(folder, kWhite).convertToFormat(shownPicture().format()));
    EXPECT_EQ(form->HScroll1->value(), 1000);
    EXPECT_EQ(form->HScroll2->value(), 30000);
    EXPECT_EQ(form->Check6->value(), CheckBox::kOn);
    EXPECT_TRUE(mixer.speakerVolumes().empty());
    ASSERT_TRUE(testing::waitUntil([&] { return form->Label1->text() == "32767"; }));
}

TEST_F(MuteAndReset, ResetAllWithEveryColourOffRunsNoToggleHandler) {
    form->Check2->setValue(CheckBox::kOn);
    form->Check2->setValue(CheckBox::kOff);
    const QImage pink = shownPicture();
    form->Check1->setValue(CheckBox::kGreyed); // greyed is not off: Reset All turns it off
    form->Check1->setValue(CheckBox::kOff);
    const QImage brown = shownPicture();
    ASSERT_NE(pink, brown);

    form->Command6->click();
    EXPECT_EQ(shownPicture(), brown);
    EXPECT_FALSE(channel(kBrown).isPlaying());
    EXPECT_EQ(channel(kPink).volume(), -1500);
}

TEST_F(MuteAndReset, ResetAllLeavesTheMuteStateAlone) {
    form->Command4->click();
    form->Command6->click();
    form->Command4->click();
    EXPECT_EQ(form->HScroll2->value(), 16000);
    EXPECT_EQ(mixer.speakerVolumes(), (Volumes{0, 31840}));
}

} // namespace
} // namespace calmfield
