#include "MainWindowFixture.h"
#include "tests/support/PipeWatch.h"

#include <QTest>
#include <sys/stat.h>

#include <vector>

namespace calmfield {
namespace {

using testing::MainWindowFixture;
using widgets::CheckBox;

constexpr int kBrown = 0, kPink = 1, kWhite = 2, kBlue = 3, kPurple = 4;

class ChannelControls : public MainWindowFixture {
  protected:
    std::array<CheckBox*, 5> toggles() const {
        return {form->Check1, form->Check2, form->Check3, form->Check4, form->Check5};
    }
    std::array<widgets::Slider*, 5> volumes() const {
        return {form->HScroll3, form->HScroll4, form->HScroll5, form->HScroll6, form->HScroll7};
    }
    std::array<widgets::Slider*, 5> frequencies() const {
        return {form->HScroll8, form->HScroll9, form->HScroll10, form->HScroll11, form->HScroll12};
    }
    std::array<QLabel*, 5> readouts() const {
        return {form->Label1, form->Label2, form->Label3, form->Label6, form->Label7};
    }
    std::vector<bool> playing() {
        std::vector<bool> result;
        for (int colour = 0; colour < 5; ++colour)
            result.push_back(channel(colour).isPlaying());
        return result;
    }
};

TEST_F(ChannelControls, InitialiseCreatesFiveSilentChannelsAtTheirVolumeSliders) {
    EXPECT_TRUE(messages.messages.isEmpty());
    for (int colour = 0; colour < 5; ++colour) {
        EXPECT_FALSE(channel(colour).isPlaying());
        EXPECT_EQ(channel(colour).volume(), 0);
    }
    EXPECT_TRUE(mixer.speakerVolumes().empty()); // the master slider's start is not sent
}

TEST_F(ChannelControls, EachVolumeAndFrequencySliderDrivesOnlyItsOwnColour) {
    for (int colour = 0; colour < 5; ++colour) {
        const auto i = static_cast<std::size_t>(colour);
        volumes()[i]->setValue(-100 * (colour + 1));
        frequencies()[i]->setValue(10000 + colour);
    }
    for (int colour = 0; colour < 5; ++colour) {
        EXPECT_EQ(channel(colour).volume(), -100 * (colour + 1)) << colour;
        EXPECT_EQ(channel(colour).GetFrequency(), 10000 + colour) << colour;
    }
    form->HScroll5->setValue(-3000);
    EXPECT_EQ(channel(kWhite).volume(), -3000);
    form->HScroll11->setValue(1000);
    EXPECT_EQ(channel(kBlue).GetFrequency(), 1000);
    EXPECT_EQ(channel(kPurple).GetFrequency(), 10004);
}

TEST_F(ChannelControls, EachToggleStartsAndStopsOnlyItsOwnColour) {
    form->Check4->setValue(CheckBox::kOn);
    EXPECT_EQ(playing(), (std::vector<bool>{false, false, false, true, false}));
    form->Check1->setValue(CheckBox::kOn);
    form->Check5->setValue(CheckBox::kOn);
    EXPECT_EQ(playing(), (std::vector<bool>{true, false, false, true, true}));
    form->Check4->setValue(CheckBox::kOff);
    EXPECT_EQ(playing(), (std::vector<bool>{true, false, false, false, true}));
}

TEST_F(ChannelControls, PanningMovesAllFiveChannelsPlayingOrNot) {
    form->Check2->setValue(CheckBox::kOn);
    form->HScroll1->setValue(-3000);
    for (int colour = 0; colour < 5; ++colour)
        EXPECT_EQ(channel(colour).pan(), -3000) << colour;
    form->Check3->setValue(CheckBox::kOn); // started after the pan: keeps it
    EXPECT_EQ(channel(kWhite).pan(), -3000);
}

TEST_F(ChannelControls, TickingPinkPlaysItAndShowsThePinkPictureUntickingStopsWhereItWas) {
    const QImage pink = testing::colourPicture(folder, kPink);
    ASSERT_FALSE(pink.isNull());

    form->Check2->setValue(CheckBox::kOn);
    EXPECT_TRUE(channel(kPink).isPlaying());
    EXPECT_EQ(shownPicture(), pink.convertToFormat(shownPicture().format()));
    EXPECT_EQ(playingPosition(kPink), 0);
    output.pull(20000);

    form->Check2->setValue(CheckBox::kOff);
    EXPECT_FALSE(channel(kPink).isPlaying());
    EXPECT_EQ(shownPicture(), pink.convertToFormat(shownPicture().format()));
    output.pull(5000); // fades out, then holds its place

    form->Check2->setValue(CheckBox::kOn);
    const long resumedAt = playingPosition(kPink);
    EXPECT_GE(resumedAt, 20000);
    EXPECT_LE(resumedAt, 20500);
}

TEST_F(ChannelControls, ATogglePutIntoItsGreyedStateShowsThePictureButLeavesTheChannel) {
    form->Check3->setValue(CheckBox::kGreyed);
    EXPECT_FALSE(channel(kWhite).isPlaying());
    EXPECT_EQ(shownPicture(),
              testing::colourPicture(folder, kWhite).convertToFormat(shownPicture().format()));

    form->Check4->setValue(CheckBox::kOn);
    form->Check4->setValue(CheckBox::kGreyed);
    EXPECT_TRUE(channel(kBlue).isPlaying());
}

TEST_F(ChannelControls, APictureThatIsNotAFileLeavesTheBoxEmptyWithoutWaiting) {
    form->Check1->setValue(CheckBox::kOn);
    const auto picture = folder / "White_noise.jpg";
    std::filesystem::remove(picture);
    ASSERT_EQ(::mkfifo(picture.c_str(), 0600), 0);
    testsupport::PipeWatch watch(picture);
    form->Check3->setValue(CheckBox::kOn);
    EXPECT_FALSE(watch.released()) << "waited on the pipe";
    EXPECT_TRUE(form->Picture1->pixmap().isNull());
}

TEST_F(ChannelControls, SettingAControlToTheValueItHoldsRunsNoHandler) {
    channel(kPink).SetVolume(-700);
    form->HScroll4->setValue(0);
    EXPECT_EQ(channel(kPink).volume(), -700);

    form->HScroll9->setValue(32000);
    EXPECT_EQ(channel(kPink).GetFrequency(), 22050);

    channel(kBrown).SetPan(500);
    form->HScroll1->setValue(0);
    EXPECT_EQ(channel(kBrown).pan(), 500);

    form->HScroll2->setValue(16000);
    EXPECT_TRUE(mixer.speakerVolumes().empty());

    form->Check1->setValue(CheckBox::kOff);
    EXPECT_TRUE(form->Picture1->pixmap().isNull());
}

TEST_F(ChannelControls, ReadoutsShowWhatTheChannelsReallyPlayAfterATick) {
    ASSERT_TRUE(testing::waitUntil([&] { return !form->Label7->text().isEmpty(); }));
    for (int colour = 0; colour < 5; ++colour) {
        const auto i = static_cast<std::size_t>(colour);
        EXPECT_EQ(readouts()[i]->text(), "22050"); // the sound file's own rate
        EXPECT_EQ(frequencies()[i]->value(), 32000);
    }
    form->HScroll10->setValue(12345);
    ASSERT_TRUE(testing::waitUntil([&] { return form->Label3->text() == "12345"; }));
    EXPECT_EQ(form->Label2->text(), "22050");
}

TEST_F(ChannelControls, ATickRewritesOnlyTheReadoutsWhoseFrequencyChanged) {
    ASSERT_TRUE(testing::waitUntil([&] { return !form->Label7->text().isEmpty(); }));
    // A tick that rewrote every readout would overwrite this mark.
    form->Label2->setText("mark");
    form->HScroll10->setValue(12345);
    ASSERT_TRUE(testing::waitUntil([&] { return form->Label3->text() == "12345"; }));
    EXPECT_EQ(form->Label2->text(), "mark");
}

TEST_F(ChannelControls, StopSoundStopsAndRewindsEveryChannel) {
    for (CheckBox* toggle : toggles())
        toggle->setValue(CheckBox::kOn);
    output.pull(30000);
    form->StopSound();
    EXPECT_EQ(playing(), std::vector<bool>(5, false));
    output.pull(1000);

    for (int colour : {kBrown, kPink, kWhite, kBlue, kPurple}) {
        channel(colour).Play();
        EXPECT_EQ(playingPosition(colour), 0) << colour;
        channel(colour).Stop();
        output.pull(1000);
    }
}

TEST_F(ChannelControls, SlidersSendOnlyCommittedChanges) {
    widgets::Slider* brownFrequency = form->HScroll8;
    brownFrequency->setSliderDown(true); // the user drags the thumb
    brownFrequency->setSliderPosition(5000);
    brownFrequency->setSliderPosition(9000);
    EXPECT_EQ(channel(kBrown).GetFrequency(), 22050);
    brownFrequency->setSliderDown(false); // and lets go
    EXPECT_EQ(channel(kBrown).GetFrequency(), 9000);

    form->HScroll3->setFocus();
    QTest::keyClick(form->HScroll3, Qt::Key_Left);
    EXPECT_EQ(channel(kBrown).volume(), -1);
    QTest::keyClick(form->HScroll3, Qt::Key_PageUp);
    EXPECT_EQ(channel(kBrown).volume(), -801);
    QTest::keyClick(form->HScroll3, Qt::Key_Right);
    EXPECT_EQ(channel(kBrown).volume(), -800);
    QTest::keyClick(form->HScroll3, Qt::Key_Home);
    EXPECT_EQ(channel(kBrown).volume(), -3000);

    const QPoint rightArrow(form->HScroll2->width() - 3, form->HScroll2->height() / 2);
    QTest::mouseClick(form->HScroll2, Qt::LeftButton, {}, rightArrow);
    EXPECT_EQ(form->HScroll2->value(), 17500);
    EXPECT_EQ(mixer.speakerVolumes(), std::vector<std::uint32_t>{34825});
}

TEST_F(ChannelControls, StartInTrayTimerHidesTheWindowOnceWhenTicked) {
    form->Timer5->stop();
    form->PlaySound();
    EXPECT_FALSE(form->Timer5->isActive()); // not ticked: nothing armed

    form->Check6->setValue(CheckBox::kOn);
    form->PlaySound();
    EXPECT_TRUE(form->Timer5->isActive());
    ASSERT_TRUE(testing::waitUntil([&] { return !form->Timer5->isActive(); }));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ChannelControls, StartInTrayTimerLeavesTheWindowShownWhenNotTicked) {
    ASSERT_TRUE(testing::waitUntil([&] { return !form->Timer5->isActive(); }));
    EXPECT_TRUE(form->isVisible());
}

} // namespace
} // namespace calmfield
