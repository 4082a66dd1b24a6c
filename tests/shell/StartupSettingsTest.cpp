#include "MainWindowFixture.h"

#include <QDir>

#include <sys/stat.h>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::contentOf;
using testsupport::MainWindowFixture;
using testsupport::mixOf;
using testsupport::putFile;
using testsupport::stateOf;
using widgets::CheckBox;

constexpr int kPink = 1, kWhite = 2, kBlue = 3;
constexpr int kSoundFileRate = 22050;

const QByteArray kDesignTimeLine = "0,0,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000,0\r\n";

class StartupSettings : public MainWindowFixture {
  protected:
    std::filesystem::path programFile() const { return folder / "settings.ini"; }
    std::filesystem::path userFile() const { return userFolder / "settings.ini"; }
    std::filesystem::path damagedCopy() const { return folder / "settings.ini.damaged"; }
    std::filesystem::path scratchPath() const { return scratch.path().toStdString(); }

    // Starts a new window with `bytes` as the settings file beside the program.
    void startWithSettings(const QByteArray& bytes) {
        putFile(programFile(), bytes);
        startAgain();
    }

    // What a window that was never touched shows: every control, channel and timer as start-up
    // without a settings file leaves them.
    testsupport::WindowState designTimeState() {
        MainWindowFixture::startAgain();
        return stateOf(*form, *bank);
    }

    QStringList filesIn(const std::filesystem::path& where) const {
        return QDir(QFile::decodeName(where.c_str()))
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }
};

TEST_F(StartupSettings, AFirstRunWithoutTheFileWritesTheDesignTimeValuesAtClose) {
    EXPECT_FALSE(std::filesystem::exists(programFile()));
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        EXPECT_FALSE(channel(colour).isPlaying()) << colour;
        // Without a settings file the channels keep their files' own rate.
        EXPECT_EQ(channel(colour).frequency(), kSoundFileRate) << colour;
    }
    form->close();
    EXPECT_EQ(contentOf(programFile()), kDesignTimeLine);
    EXPECT_FALSE(std::filesystem::exists(userFolder));
}

TEST_F(StartupSettings, AllSixteenValuesComeBackInTheNextWindow) {
    const std::vector<int> settings{0,  1,     2,    1,     0,     -3000, -1500, 0,
                                    -7, -2999, 1000, 12000, 32767, 32000, 22222, 1};
    testsupport::setMix(*form, settings);
    form->close();
    EXPECT_EQ(contentOf(programFile()),
              "0,1,2,1,0,-3000,-1500,0,-7,-2999,1000,12000,32767,32000,22222,1\r\n");

    startAgain();
    EXPECT_EQ(mixOf(*form, true), settings);
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
    const std::vector<bool> playing{false, true, false, true, false};
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        const auto i = static_cast<std::size_t>(colour);
        EXPECT_EQ(channel(colour).isPlaying(), playing[i]) << colour;
        EXPECT_EQ(channel(colour).volume(), settings[5 + i]) << colour;
        EXPECT_EQ(channel(colour).frequency(), settings[10 + i]) << colour;
    }
}

// The mix's drift outlives the run in the user's folder, the settings file keeping its sixteen
// fields; a damaged drift file is told and the mix plays without drift.
TEST_F(StartupSettings, TheMixsDriftComesBackFromAFileOfItsOwn) {
    const engine::DriftSetting drift{true, 9, engine::DriftSpeed::Slow, 77};
    form->player().setDrift(drift);
    form->close();
    EXPECT_EQ(contentOf(programFile()), kDesignTimeLine);
    EXPECT_EQ(contentOf(userFolder / "drift"), "drift 9 slow 77\r\n");
    startAgain();
    EXPECT_EQ(form->player().drift(), drift);

    putFile(userFolder / "drift", "drift 9 sometimes 77\r\n");
    startAgain();
    EXPECT_FALSE(form->player().drift().on);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages.front().contains(QStringLiteral("drift line")))
        << messages.messages.front().toStdString();
}

TEST_F(StartupSettings, PinkAndBlueStoredAsOnPlayWithTheirStoredVolumeAndFrequency) {
    startWithSettings("0,1,0,1,0,0,-1500,0,-700,0,32000,12000,32000,32000,32000,0\r\n");
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
    EXPECT_EQ(colourToggles(form)[1]->value(), CheckBox::kOn);
    EXPECT_EQ(colourToggles(form)[3]->value(), CheckBox::kOn);
    EXPECT_TRUE(channel(kPink).isPlaying());
    EXPECT_TRUE(channel(kBlue).isPlaying());
    EXPECT_FALSE(channel(kWhite).isPlaying());
    EXPECT_EQ(channel(kPink).volume(), -1500);
    EXPECT_EQ(channel(kPink).frequency(), 12000);
    EXPECT_EQ(channel(kBlue).volume(), -700);
    // 32000 equals the slider's starting value, so the slider runs no handler; it still reaches
    // the channel, which would otherwise play at its file's own rate.
    EXPECT_EQ(channel(kBlue).frequency(), 32000);
    EXPECT_EQ(channel(kWhite).frequency(), 32000);
}

TEST_F(StartupSettings, StartInTrayStoredAsOnHidesTheWindowWhenTheTimerFires) {
    startWithSettings("0,0,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000,1\r\n");
    EXPECT_EQ(startInTrayBox(form)->value(), CheckBox::kOn);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(testsupport::waitUntil([&] { return !form->isVisible(); }));
}

TEST_F(StartupSettings, MasterVolumeAndPanningStartAgainAtTheirDesignTimeValues) {
    panningSlider(form)->setValue(2500);
    masterVolumeSlider(form)->setValue(30000);
    muteButton(form)->click(); // mute
    form->close();
    startAgain();
    EXPECT_EQ(panningSlider(form)->value(), 0);
    EXPECT_EQ(masterVolumeSlider(form)->value(), 16000);
    EXPECT_EQ(channel(0).pan(), 0);
    muteButton(form)->click(); // the first click mutes again
    EXPECT_EQ(masterVolumeSlider(form)->value(), 0);
}

TEST_F(StartupSettings, EveryWayOfClosingWritesTheFileAgain) {
    // A file that already exists is replaced whole, not appended to.
    putFile(programFile(), QByteArray(300, '7'));
    colourToggles(form)[2]->setValue(CheckBox::kOn);
    form->close();
    EXPECT_EQ(contentOf(programFile()), "0,0,1,0,0,0,0,0,0,0,32000,32000,32000,32000,32000,0\r\n");
}

TEST_F(StartupSettings, AReadOnlyFileIsReadLikeAnyOther) {
    putFile(programFile(), "0,0,1,0,0,0,0,-250,0,0,32000,32000,32000,32000,32000,0\r\n");
    ASSERT_EQ(::chmod(programFile().c_str(), 0444), 0);
    startAgain();
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
    EXPECT_TRUE(channel(kWhite).isPlaying());
    EXPECT_EQ(channel(kWhite).volume(), -250);
}

TEST_F(StartupSettings, TheFileIsFoundWhateverItsLetterCase) {
    putFile(folder / "Settings.INI", "0,0,0,0,1,0,0,0,0,0,32000,32000,32000,32000,32000,0\r\n");
    startAgain();
    EXPECT_TRUE(channel(4).isPlaying());
    colourToggles(form)[4]->setValue(CheckBox::kOff);
    form->close();
    EXPECT_EQ(contentOf(folder / "Settings.INI"), kDesignTimeLine);
    EXPECT_FALSE(std::filesystem::exists(programFile()));
}

TEST_F(StartupSettings, ADamagedFileGivesTheDesignTimeValuesAndOneMessageAndIsCopiedFirst) {
    const auto untouched = designTimeState();
    struct Damage {
        const char* what;
        QByteArray bytes;
        const char* reason;
    };
    for (const Damage& damage : {
             Damage{"empty", "", "it holds 0 of the 16 numbers needed"},
             Damage{"a configuration copied over it",
                    "0,1,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000\r\n",
                    "it holds 15 of the 16 numbers needed"},
             Damage{"a word", "0,1,0,0,0,0,0,0,0,0,32000,32000,fast,32000,32000,0\r\n",
                    "number 13 is not a whole number"},
             Damage{"an overflow", "0,1,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32768,0\r\n",
                    "number 15 (32768) is outside what its slider takes (1000 to 32767)"},
             Damage{"a check box at 3", "0,1,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000,3\r\n",
                    "number 16 (3) is outside what its check box takes (0, 1 or 2)"},
             Damage{"a volume too low", "0,1,0,0,0,0,-3001,0,0,0,32000,32000,32000,32000,32000,0",
                    "number 7 (-3001) is outside what its slider takes (-3000 to 0)"},
             Damage{"a frequency too low", "0,1,0,0,0,0,0,0,0,0,32000,0,32000,32000,32000,0",
                    "number 12 (0) is outside what its slider takes (1000 to 32767)"},
         }) {
        messages.messages.clear();
        startWithSettings(damage.bytes);

        EXPECT_EQ(stateOf(*form, *bank), untouched) << damage.what;
        ASSERT_EQ(messages.messages.size(), 1) << damage.what;
        const QString& message = messages.messages[0];
        EXPECT_TRUE(message.contains(QFile::decodeName(programFile().c_str())))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QLatin1String(damage.reason))) << message.toStdString();
        EXPECT_TRUE(message.contains("the file will be replaced when Calmfield closes"))
            << message.toStdString();
        EXPECT_TRUE(message.endsWith(QStringLiteral("A copy of the file is kept as \"%1\".")
                                         .arg(QFile::decodeName(damagedCopy().c_str()))))
            << message.toStdString();
        EXPECT_EQ(contentOf(programFile()), damage.bytes) << damage.what;
        // Each copy replaces the one made for the damage before.
        EXPECT_EQ(contentOf(damagedCopy()), damage.bytes) << damage.what;

        form->close();
        EXPECT_EQ(contentOf(programFile()), kDesignTimeLine) << damage.what;
        EXPECT_EQ(messages.messages.size(), 1) << damage.what;
    }
}

TEST_F(StartupSettings, ACopyThatCannotBeMadeIsSaid) {
    std::filesystem::create_directories(damagedCopy() / "in the way");
    startWithSettings("0,1,0\r\n");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].endsWith(
        QStringLiteral("and the file will be replaced when Calmfield closes. The file could not be "
                       "copied to \"%1\" (Directory not empty).")
            .arg(QFile::decodeName(damagedCopy().c_str()))))
        << messages.messages[0].toStdString();
}

TEST_F(StartupSettings, AFolderInThePlaceOfTheFileSendsItToTheUsersOwnFolder) {
    // Nothing can write a file where a folder stands, whoever runs the program.
    std::filesystem::create_directories(programFile());
    startAgain();
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
    colourToggles(form)[1]->setValue(CheckBox::kOn);
    volumeSliders(form)[1]->setValue(-1234);
    form->close();
    // The user's folder did not exist: it is made.
    EXPECT_EQ(contentOf(userFile()), "0,1,0,0,0,0,-1234,0,0,0,32000,32000,32000,32000,32000,0\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(programFile()));

    // The next start reads it from there, and the next close writes it there.
    startAgain();
    EXPECT_TRUE(channel(kPink).isPlaying());
    EXPECT_EQ(channel(kPink).volume(), -1234);
    colourToggles(form)[1]->setValue(CheckBox::kOff);
    form->close();
    EXPECT_EQ(contentOf(userFile()), "0,0,0,0,0,0,-1234,0,0,0,32000,32000,32000,32000,32000,0\r\n");
    EXPECT_EQ(filesIn(folder).filter("settings", Qt::CaseInsensitive), QStringList{"settings.ini"});
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
}

TEST_F(StartupSettings, WhenNeitherPlaceCanBeWrittenTheUserIsToldAtClose) {
    std::filesystem::create_directories(programFile());
    // The user's folder would have to be made inside a plain file.
    std::filesystem::remove_all(userFolder.parent_path());
    putFile(userFolder.parent_path(), "a plain file");
    startAgain();
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    form->close();
    ASSERT_EQ(messages.messages.size(), 1);
    const QString& message = messages.messages[0];
    EXPECT_TRUE(message.startsWith(QStringLiteral("Calmfield could not save its settings to \"%1\"")
                                       .arg(QFile::decodeName(userFile().c_str()))))
        << message.toStdString();
    EXPECT_TRUE(message.contains("cannot be created")) << message.toStdString();
    EXPECT_EQ(programEndings, 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(std::filesystem::is_directory(programFile()));
    EXPECT_EQ(contentOf(userFolder.parent_path()), "a plain file");
}

// A window whose sound device cannot be opened, started after the settings file is in place.
class StartupSettingsWithoutSoundDevice : public StartupSettings {
  protected:
    // The bank stops its output as it goes, so it goes before the output.
    ~StartupSettingsWithoutSoundDevice() override { run.reset(); }

    void startWithoutDevice() {
        run.reset();
        messages.messages.clear();
        startAgain({.sound = &noDevice});
    }

    testsupport::MemorySoundOutput noDevice{kSoundFileRate, false};
};

TEST_F(StartupSettingsWithoutSoundDevice, TheFileIsReadAndKeptAsWithADevice) {
    const QByteArray stored = "0,1,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000,1\r\n";
    putFile(programFile(), stored);
    startWithoutDevice();
    EXPECT_EQ(
        messages.messages,
        QStringList{QStringLiteral("Calmfield couldn't open the sound device: Connection refused. "
                                   "Check that PulseAudio or PipeWire is running.")});
    EXPECT_EQ(colourToggles(form)[1]->value(), CheckBox::kOn);
    EXPECT_EQ(startInTrayBox(form)->value(), CheckBox::kOn);
    colourToggles(form)[2]->setValue(CheckBox::kOn);
    form->close();
    EXPECT_EQ(contentOf(programFile()), "0,1,1,0,0,0,0,0,0,0,32000,32000,32000,32000,32000,1\r\n");
    EXPECT_EQ(messages.messages.size(), 1);

    // The same holds for the user's own file when it is the one start-up reads.
    std::filesystem::remove(programFile());
    std::filesystem::create_directories(programFile());
    std::filesystem::create_directories(userFolder);
    putFile(userFile(), stored);
    startWithoutDevice();
    form->close();
    EXPECT_EQ(contentOf(userFile()), stored);
}

TEST_F(StartupSettingsWithoutSoundDevice, AMissingFileIsWrittenAtClose) {
    startWithoutDevice();
    colourToggles(form)[2]->setValue(CheckBox::kOn);
    form->close();
    EXPECT_EQ(contentOf(programFile()), "0,0,1,0,0,0,0,0,0,0,32000,32000,32000,32000,32000,0\r\n");
}

} // namespace
} // namespace calmfield
