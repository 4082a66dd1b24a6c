#include "MainWindowFixture.h"

#include <unistd.h>

#include <fstream>
#include <string>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::MainWindowFixture;
using widgets::CheckBox;

constexpr int kWhite = 2, kBlue = 3, kPurple = 4;

// Exercises every control of the window, as a user might.
void useEveryControl(shell::MainWindow& form, player::MixPlayer& player) {
    for (CheckBox* toggle : colourToggles(form))
        toggle->setValue(CheckBox::kOn);
    panningSlider(form)->setValue(panningSlider(form)->minimum());
    for (const auto& sliders : {volumeSliders(form), frequencySliders(form)}) {
        for (widgets::Slider* slider : sliders)
            slider->setValue(slider->minimum());
    }
    muteButton(form)->click();
    resetAllButton(form)->click();
    muteButton(form)->click();
    player.stopAndRewind();
}

// A program folder holding the built one's files, but with the white sound missing, the blue one
// unreadable and the purple picture missing.
std::filesystem::path damagedCopyOfTheProgramFolder() {
    const auto copy = std::filesystem::temp_directory_path() /
                      ("calmfield-shell-damaged-folder-" + std::to_string(::getpid()));
    std::filesystem::remove_all(copy);
    std::filesystem::create_directories(copy);
    for (const auto& entry :
         std::filesystem::directory_iterator(testsupport::builtProgramFolder())) {
        if (entry.is_regular_file() && entry.path().filename() != "settings.ini")
            std::filesystem::copy_file(entry.path(), copy / entry.path().filename());
    }
    std::filesystem::remove(copy / "White_Noise.Wav");
    std::ofstream(copy / "Blue_Noise.Wav", std::ios::trunc) << "not a sound";
    std::filesystem::remove(copy / "violet.jpg");
    return copy;
}

class MissingSoundFiles : public MainWindowFixture {
  protected:
    MissingSoundFiles() : MainWindowFixture({.programFolder = damagedCopyOfTheProgramFolder()}) {}
    ~MissingSoundFiles() override { std::filesystem::remove_all(folder); }
};

TEST_F(MissingSoundFiles, TheUserIsToldOnceAndTheOtherColoursWork) {
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].contains("White_Noise.Wav"));
    EXPECT_TRUE(messages.messages[0].contains("Blue_Noise.Wav"));
    EXPECT_EQ(bank->channel(kWhite), nullptr);
    EXPECT_EQ(bank->channel(kBlue), nullptr);

    colourToggles(form)[2]->setValue(CheckBox::kOn);
    colourToggles(form)[4]->setValue(CheckBox::kOn);
    EXPECT_TRUE(channel(4).isPlaying());
    EXPECT_EQ(shownPicture(),
              testsupport::colourPicture(folder, 4).convertToFormat(shownPicture().format()));
    volumeSliders(form)[4]->setValue(-250);
    EXPECT_EQ(channel(4).volume(), -250);
}

TEST_F(MissingSoundFiles, ControlsAndReadoutsLeaveTheMissingChannelsAlone) {
    useEveryControl(*form, session->player());
    EXPECT_EQ(frequencyReadouts(form)[0]->text(), "32767");
    EXPECT_EQ(frequencyReadouts(form)[2]->text(), "");
    EXPECT_EQ(frequencyReadouts(form)[3]->text(), "");
    EXPECT_EQ(channel(0).pan(), -3000);
}

class NoSoundDevice : public MainWindowFixture {
  protected:
    NoSoundDevice() : MainWindowFixture({.deviceAvailable = false}) {}
};

TEST_F(NoSoundDevice, TheUserIsToldAndTheChannelsWaitForTheDevice) {
    EXPECT_EQ(
        messages.messages,
        QStringList{QStringLiteral("Calmfield couldn't open the sound device: Connection refused. "
                                   "Check that PulseAudio or PipeWire is running.")});
    for (int colour = 0; colour < 5; ++colour)
        EXPECT_NE(bank->channel(colour), nullptr);
}

TEST_F(NoSoundDevice, EveryControlStillWorksWithoutTheDevice) {
    useEveryControl(*form, session->player());
    for (QLabel* readout : frequencyReadouts(form))
        EXPECT_FALSE(readout->text().isEmpty());
    EXPECT_FALSE(colourPictureBox(form)->pixmap().isNull()); // the pictures do not need the device
    EXPECT_EQ(volumePort.speakerVolumes(), (std::vector<std::uint32_t>{0, 31840}));
}

} // namespace
} // namespace calmfield
