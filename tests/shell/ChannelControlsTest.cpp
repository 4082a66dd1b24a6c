#include "MainWindowFixture.h"
#include "tests/support/PipeWatch.h"

#include <QTest>
#include <QTimer>
#include <sys/stat.h>

#include <vector>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::MainWindowFixture;
using widgets::CheckBox;

constexpr int kBrown = 0, kPink = 1, kWhite = 2, kBlue = 3, kPurple = 4;

class ChannelControls : public MainWindowFixture {
  protected:
    std::vector<bool> playing() {
        std::vector<bool> result;
        for (int colour = 0; colour < 5; ++colour)
            result.push_back(channel(colour).isPlaying());
        return result;
    }
};

TEST_F(ChannelControls, EachSliderDrivesOnlyItsOwnSetting) {
    for (int colour = 0; colour < 5; ++colour) {
        const auto i = static_cast<std::size_t>(colour);
        volumeSliders(form)[i]->setValue(-100 * (colour + 1));
        frequencySliders(form)[i]->setValue(10000 + colour);
    }
    for (int colour = 0; colour < 5; ++colour) {
        EXPECT_EQ(channel(colour).volume(), -100 * (colour + 1)) << colour;
        EXPECT_EQ(channel(colour).frequency(), 10000 + colour) << colour;
    }
    volumeSliders(form)[2]->setValue(-3000);
    EXPECT_EQ(channel(kWhite).volume(), -3000);
    frequencySliders(form)[3]->setValue(1000);
    EXPECT_EQ(channel(kBlue).frequency(), 1000);
    EXPECT_EQ(channel(kPurple).frequency(), 10004);
    panningSlider(form)->setValue(-3000);
    EXPECT_EQ(channel(kBrown).pan(), -3000);
}

TEST_F(ChannelControls, EachToggleStartsAndStopsOnlyItsOwnColour) {
    colourToggles(form)[3]->setValue(CheckBox::kOn);
    EXPECT_EQ(playing(), (std::vector<bool>{false, false, false, true, false}));
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    colourToggles(form)[4]->setValue(CheckBox::kOn);
    EXPECT_EQ(playing(), (std::vector<bool>{true, false, false, true, true}));
    colourToggles(form)[3]->setValue(CheckBox::kOff);
    EXPECT_EQ(playing(), (std::vector<bool>{true, false, false, false, true}));
}

TEST_F(ChannelControls, TickingPinkPlaysItAndShowsThePinkPictureUntickingStopsWhereItWas) {
    const QImage pink = testsupport::colourPicture(folder, kPink);
    ASSERT_FALSE(pink.isNull());

    colourToggles(form)[1]->setValue(CheckBox::kOn);
    EXPECT_TRUE(channel(kPink).isPlaying());
    EXPECT_EQ(shownPicture(), pink.convertToFormat(shownPicture().format()));
    EXPECT_EQ(playingPosition(kPink), 0);
    output.pull(20000);

    colourToggles(form)[1]->setValue(CheckBox::kOff);
    EXPECT_FALSE(channel(kPink).isPlaying());
    EXPECT_EQ(shownPicture(), pink.convertToFormat(shownPicture().format()));
    output.pull(5000); // fades out, then holds its place

    colourToggles(form)[1]->setValue(CheckBox::kOn);
    const long resumedAt = playingPosition(kPink);
    EXPECT_GE(resumedAt, 20000);
    EXPECT_LE(resumedAt, 20500);
}

TEST_F(ChannelControls, ATogglePutIntoItsGreyedStateShowsThePicture) {
    colourToggles(form)[2]->setValue(CheckBox::kGreyed);
    EXPECT_EQ(shownPicture(),
              testsupport::colourPicture(folder, kWhite).convertToFormat(shownPicture().format()));
}

TEST_F(ChannelControls, APictureThatIsNotAFileLeavesTheBoxEmptyWithoutWaiting) {
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    const auto picture = folder / "White_noise.jpg";
    std::filesystem::remove(picture);
    ASSERT_EQ(::mkfifo(picture.c_str(), 0600), 0);
    testsupport::PipeWatch watch(picture);
    colourToggles(form)[2]->setValue(CheckBox::kOn);
    EXPECT_FALSE(watch.released()) << "waited on the pipe";
    EXPECT_TRUE(colourPictureBox(form)->pixmap().isNull());
}

TEST_F(ChannelControls, ReadoutsShowWhatTheChannelsReallyPlayWithoutWaiting) {
    for (int colour = 0; colour < 5; ++colour) {
        const auto i = static_cast<std::size_t>(colour);
        EXPECT_EQ(frequencyReadouts(form)[i]->text(), "22050"); // the sound file's own rate
        EXPECT_EQ(frequencySliders(form)[i]->value(), 32000);
    }
    frequencySliders(form)[2]->setValue(12345);
    EXPECT_EQ(frequencyReadouts(form)[2]->text(), "12345");
    EXPECT_EQ(frequencyReadouts(form)[1]->text(), "22050");
}

TEST_F(ChannelControls, AChangeRewritesOnlyItsOwnReadout) {
    // A change that rewrote every readout would overwrite this mark.
    frequencyReadouts(form)[1]->setText("mark");
    frequencySliders(form)[2]->setValue(12345);
    EXPECT_EQ(frequencyReadouts(form)[2]->text(), "12345");
    EXPECT_EQ(frequencyReadouts(form)[1]->text(), "mark");
}

// Nothing polls: with the start-in-tray timer run out, no timer of the window runs.
TEST_F(ChannelControls, NoTimerRunsWhileNothingChanges) {
    startInTrayTimer(form)->stop();
    colourToggles(form)[kPink]->setValue(CheckBox::kOn);
    frequencySliders(form)[kPink]->setValue(12345);
    for (const QTimer* timer : form->findChildren<QTimer*>())
        EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
}

TEST_F(ChannelControls, SlidersSendOnlyCommittedChanges) {
    widgets::Slider* brownFrequency = frequencySliders(form)[0];
    brownFrequency->setSliderDown(true); // the user drags the thumb
    brownFrequency->setSliderPosition(5000);
    brownFrequency->setSliderPosition(9000);
    EXPECT_EQ(channel(kBrown).frequency(), 22050);
    brownFrequency->setSliderDown(false); // and lets go
    EXPECT_EQ(channel(kBrown).frequency(), 9000);

    volumeSliders(form)[0]->setFocus();
    QTest::keyClick(volumeSliders(form)[0], Qt::Key_Left);
    EXPECT_EQ(channel(kBrown).volume(), -1);
    QTest::keyClick(volumeSliders(form)[0], Qt::Key_PageUp);
    EXPECT_EQ(channel(kBrown).volume(), -801);
    QTest::keyClick(volumeSliders(form)[0], Qt::Key_Right);
    EXPECT_EQ(channel(kBrown).volume(), -800);
    QTest::keyClick(volumeSliders(form)[0], Qt::Key_Home);
    EXPECT_EQ(channel(kBrown).volume(), -3000);

    const QPoint rightArrow(masterVolumeSlider(form)->width() - 3,
                            masterVolumeSlider(form)->height() / 2);
    QTest::mouseClick(masterVolumeSlider(form), Qt::LeftButton, {}, rightArrow);
    EXPECT_EQ(masterVolumeSlider(form)->value(), 17500);
    EXPECT_EQ(volumePort.speakerVolumes(), std::vector<std::uint32_t>{34825});
}

TEST_F(ChannelControls, StartInTrayTimerHidesTheWindowOnceWhenTicked) {
    startInTrayTimer(form)->stop();
    form->armStartInTrayTimer();
    EXPECT_FALSE(startInTrayTimer(form)->isActive()); // not ticked: nothing armed

    startInTrayBox(form)->setValue(CheckBox::kOn);
    form->armStartInTrayTimer();
    EXPECT_TRUE(startInTrayTimer(form)->isActive());
    EXPECT_TRUE(form->isVisible()) << "not before the timer fires";
    ASSERT_TRUE(testsupport::waitUntil([&] { return !startInTrayTimer(form)->isActive(); }));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ChannelControls, StartInTrayTimerLeavesTheWindowShownWhenNotTicked) {
    ASSERT_TRUE(testsupport::waitUntil([&] { return !startInTrayTimer(form)->isActive(); }));
    EXPECT_TRUE(form->isVisible());
}

} // namespace
} // namespace calmfield
