#include "MainWindowFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::contentOf;
using testsupport::MainWindowFixture;
using testsupport::mixOf;
using testsupport::putFile;
using testsupport::stateOf;
using widgets::CheckBox;

constexpr int kBrown = 0;
constexpr std::uint32_t kSoundFileRate = 22050;

const std::vector<int> kDesignTimeMix{0, 0, 0,     0,     0,     0,     0,    0,
                                      0, 0, 32000, 32000, 32000, 32000, 32000};

class ConfigurationFiles : public MainWindowFixture {
  protected:
    ConfigurationFiles() {
        std::filesystem::create_directories(mixes);
        // Start-up arms the start-in-tray timer; disarm it, as its first tick does, so that only
        // a load can arm it again.
        startInTrayTimer(form)->stop();
    }

    // A file in a folder of mixes of the user's own.
    QString mixPath(const char* name) const { return QFile::decodeName((mixes / name).c_str()); }
    void saveAs(const QString& path) {
        dialog.answers = {path};
        saveAction(form)->trigger();
    }
    void loadFrom(const QString& path) {
        dialog.answers = {path};
        loadAction(form)->trigger();
    }

    std::filesystem::path mixes = std::filesystem::path(scratch.path().toStdString()) / "mixes";
};

TEST_F(ConfigurationFiles, SavingWritesTheCanonicalLineAndLoadingBringsBackAllFifteen) {
    const std::vector<int> mix{1, 0,   2,    1,     0,     -1,    -3000, -1500,
                               0, -42, 1000, 32767, 22050, 12345, 32000};
    testsupport::setMix(*form, mix);
    saveAs(mixPath("evening.clm"));
    EXPECT_EQ(contentOf(mixes / "evening.clm"),
              "1,0,2,1,0,-1,-3000,-1500,0,-42,1000,32767,22050,12345,32000\r\n");

    resetAllButton(form)->click(); // Reset All moves every one of them
    ASSERT_NE(mixOf(*form), mix);
    loadFrom(mixPath("evening.clm"));
    EXPECT_EQ(mixOf(*form), mix);
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
    const std::vector<bool> playing{true, false, false, true, false};
    const std::vector<int> volumes{-1, -3000, -1500, 0, -42};
    const std::vector<int> frequencies{1000, 32767, 22050, 12345, 32000};
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        const auto i = static_cast<std::size_t>(colour);
        EXPECT_EQ(channel(colour).isPlaying(), playing[i]) << colour;
        EXPECT_EQ(channel(colour).volume(), volumes[i]) << colour;
        EXPECT_EQ(channel(colour).frequency(), frequencies[i]) << colour;
    }
}

TEST_F(ConfigurationFiles, TheDesignTimeMixIsSavedAsItsCanonicalLine) {
    ASSERT_EQ(mixOf(*form), kDesignTimeMix);
    saveAs(mixPath("plain.clm"));
    EXPECT_EQ(contentOf(mixes / "plain.clm"),
              "0,0,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000\r\n");
}

TEST_F(ConfigurationFiles, BothDialogsOfferCalmfieldFilesInTheProgramsFolder) {
    saveAs(mixPath("a.clm"));
    loadFrom(mixPath("a.clm"));
    ASSERT_EQ(dialog.showings.size(), 2u);
    EXPECT_TRUE(dialog.showings[0].forSaving);
    EXPECT_FALSE(dialog.showings[1].forSaving);
    for (const auto& showing : dialog.showings) {
        EXPECT_EQ(showing.filterDescription, "Calmfield Files (*.clm)");
        EXPECT_EQ(showing.filterPattern, "*.clm");
        EXPECT_EQ(std::filesystem::path(showing.initialFolder.toStdString()), folder);
    }
}

TEST_F(ConfigurationFiles, ANameTypedWithoutExtensionIsSavedUnderExactlyThatName) {
    saveAs(mixPath("quiet evening"));
    EXPECT_EQ(QDir(QFile::decodeName(mixes.c_str())).entryList(QDir::Files),
              QStringList{"quiet evening"});
    colourToggles(form)[1]->setValue(CheckBox::kOn);
    loadFrom(mixPath("quiet evening"));
    EXPECT_EQ(colourToggles(form)[1]->value(), CheckBox::kOff);
}

TEST_F(ConfigurationFiles, NothingChosenChangesNothingEvenAfterAnEarlierChoice) {
    colourToggles(form)[2]->setValue(CheckBox::kOn);
    saveAs(mixPath("chosen before.clm"));
    const QByteArray saved = contentOf(mixes / "chosen before.clm");
    colourToggles(form)[2]->setValue(CheckBox::kOff);
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    const auto before = stateOf(*form, *bank);

    dialog.answers = {QString()};
    saveAction(form)->trigger();
    dialog.answers = {QString()};
    loadAction(form)->trigger();

    EXPECT_EQ(dialog.showings.size(), 3u);
    EXPECT_EQ(stateOf(*form, *bank), before);
    EXPECT_EQ(contentOf(mixes / "chosen before.clm"), saved);
    EXPECT_EQ(QDir(QFile::decodeName(mixes.c_str())).entryList(QDir::Files),
              QStringList{"chosen before.clm"});
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(ConfigurationFiles, TheTolerantFormsLoadLikeTheOneLineForm) {
    const std::vector<int> mix{0,   1,   0,    0,    1,    -10,  -20, -30,
                               -40, -50, 1001, 1002, 1003, 1004, 1005};
    struct Form {
        const char* name;
        QByteArray bytes;
    };
    for (const Form& file : {
             Form{"canonical", "0,1,0,0,1,-10,-20,-30,-40,-50,1001,1002,1003,1004,1005\r\n"},
             Form{"line feeds only", "0,1,0,0,1,-10,-20,-30,-40,-50,1001,1002,1003,1004,1005\n"},
             Form{"no line end", "0,1,0,0,1,-10,-20,-30,-40,-50,1001,1002,1003,1004,1005"},
             Form{"blanks",
                  " 0, 1 ,0,\t0, 1,  -10, -20,-30 ,-40,-50, 1001,1002,1003,1004 ,1005\r\n"},
             Form{"one per line", "0\r\n1\r\n0\r\n0\r\n1\r\n-10\r\n-20\r\n-30\r\n-40\r\n-50\r\n"
                                  "1001\r\n1002\r\n1003\r\n1004\r\n1005\r\n"},
             Form{"several lines", "0,1,0,0,1\n-10,-20,-30,-40,-50\n1001,1002,1003,1004,1005\n"},
             Form{"settings file", "0,1,0,0,1,-10,-20,-30,-40,-50,1001,1002,1003,1004,1005,1\r\n"},
         }) {
        resetAllButton(form)->click();
        startInTrayBox(form)->setValue(CheckBox::kOff);
        putFile(mixes / file.name, file.bytes);
        loadFrom(mixPath(file.name));
        EXPECT_EQ(mixOf(*form), mix) << file.name;
        EXPECT_EQ(startInTrayBox(form)->value(), CheckBox::kOff) << file.name;
        EXPECT_TRUE(channel(1).isPlaying()) << file.name;
        EXPECT_EQ(channel(4).frequency(), 1005) << file.name;
    }
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
}

TEST_F(ConfigurationFiles, EveryKindOfBadFileChangesNothingAndSaysWhatIsWrongOnce) {
    std::filesystem::create_directories(mixes / "a folder.clm");
    struct Bad {
        const char* name;
        QByteArray bytes; // none: the file is not made
        const char* reason;
    };
    for (const Bad& bad : {
             Bad{"missing.clm", {}, "there is no such file"},
             Bad{"a folder.clm", {}, "it is a folder"},
             Bad{"empty.clm", "", "it holds 0 of the 15 numbers needed"},
             Bad{"short.clm", "1,1,1,1,1,0,0,0,0,0,32000,32000,32000,32000\r\n",
                 "it holds 14 of the 15 numbers needed"},
             Bad{"word.clm", "1,1,1,1,1,0,0,0,loud,0,32000,32000,32000,32000,32000\r\n",
                 "number 9 is not a whole number"},
             Bad{"fraction.clm", "1,1,1,1,1,0,0,0,0,0,32000,32000,1.5,32000,32000\r\n",
                 "number 13 is not a whole number"},
             Bad{"overflow.clm", "1,1,1,1,1,0,0,0,0,0,32000,40000,32000,32000,32000\r\n",
                 "number 12 (40000) is outside what its slider takes (1000 to 32767)"},
             Bad{"check box.clm", "1,1,3,1,1,0,0,0,0,0,32000,32000,32000,32000,32000\r\n",
                 "number 3 (3) is outside what its check box takes (0, 1 or 2)"},
             Bad{"negative check box.clm", "-1,1,1,1,1,0,0,0,0,0,32000,32000,32000,32000,32000",
                 "number 1 (-1) is outside what its check box takes (0, 1 or 2)"},
             Bad{"too quiet.clm", "1,1,1,1,1,0,-4000,0,0,0,32000,32000,32000,32000,32000\r\n",
                 "number 7 (-4000) is outside what its slider takes (-3000 to 0)"},
             Bad{"too loud.clm", "1,1,1,1,1,0,0,0,0,1,32000,32000,32000,32000,32000\r\n",
                 "number 10 (1) is outside what its slider takes (-3000 to 0)"},
             Bad{"too low.clm", "1,1,1,1,1,0,0,0,0,0,32000,32000,32000,32000,999\r\n",
                 "number 15 (999) is outside what its slider takes (1000 to 32767)"},
         }) {
        const auto file = mixes / bad.name;
        if (!bad.bytes.isNull())
            putFile(file, bad.bytes);
        // Something playing, something set apart from its slider, and Start in system tray
        // ticked: a load that ran any of its steps would show.
        colourToggles(form)[1]->setValue(CheckBox::kOn);
        startInTrayBox(form)->setValue(CheckBox::kOn);
        channel(kBrown).setVolume(-700);
        const auto before = stateOf(*form, *bank);
        const QByteArray bytesBefore = contentOf(file);
        messages.messages.clear();

        loadFrom(mixPath(bad.name));

        EXPECT_EQ(stateOf(*form, *bank), before) << bad.name;
        EXPECT_EQ(contentOf(file), bytesBefore) << bad.name;
        ASSERT_EQ(messages.messages.size(), 1) << bad.name;
        const QString& message = messages.messages[0];
        EXPECT_TRUE(message.startsWith(QStringLiteral("The configuration \"%1\" could not be "
                                                      "loaded: ")
                                           .arg(mixPath(bad.name))))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QLatin1String(bad.reason))) << message.toStdString();
        EXPECT_TRUE(message.endsWith(QLatin1String("Nothing was changed.")))
            << message.toStdString();
    }
    EXPECT_TRUE(std::filesystem::is_directory(mixes / "a folder.clm"));
    EXPECT_FALSE(std::filesystem::exists(mixes / "missing.clm"));
}

TEST_F(ConfigurationFiles, ASaveThatCannotBeMadeKeepsWhatWasThereAndSaysSo) {
    putFile(mixes / "plain", "not a folder");
    std::filesystem::create_directories(mixes / "a folder.clm");
    for (const char* name : {"plain/mix.clm", "a folder.clm", "no such folder/mix.clm"}) {
        messages.messages.clear();
        saveAs(mixPath(name));
        ASSERT_EQ(messages.messages.size(), 1) << name;
        EXPECT_TRUE(messages.messages[0].startsWith(
            QStringLiteral("The configuration \"%1\" could not be saved: ").arg(mixPath(name))))
            << messages.messages[0].toStdString();
    }
    EXPECT_EQ(contentOf(mixes / "plain"), "not a folder");
    EXPECT_TRUE(std::filesystem::is_directory(mixes / "a folder.clm"));
    EXPECT_FALSE(std::filesystem::exists(mixes / "no such folder"));
}

TEST_F(ConfigurationFiles, ASaveThatFailsHalfWayKeepsTheOldFile) {
    const QByteArray old = "1,1,1,1,1,0,0,0,0,0,32000,32000,32000,32000,32000\r\n";
    putFile(mixes / "mix.clm", old);

    {
        // No file may grow past 8 bytes while saving, so the new line cannot be written whole.
        testsupport::FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        saveAs(mixPath("mix.clm"));
    }

    EXPECT_EQ(contentOf(mixes / "mix.clm"), old);
    EXPECT_EQ(QDir(QFile::decodeName(mixes.c_str())).entryList(QDir::Files),
              QStringList{"mix.clm"});
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].contains(mixPath("mix.clm")));
}

TEST_F(ConfigurationFiles, EqualValuesStartOrStopNothingYetEveryChannelIsSetFromItsSliders) {
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    // Until something sets them, the channels play at their files' own rate.
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        ASSERT_EQ(channel(colour).frequency(), static_cast<int>(kSoundFileRate)) << colour;
    channel(2).setVolume(-700);
    const qint64 picture = colourPictureBox(form)->pixmap().cacheKey();
    putFile(mixes / "same.clm", "1,0,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000\r\n");

    loadFrom(mixPath("same.clm"));

    EXPECT_EQ(colourPictureBox(form)->pixmap().cacheKey(), picture); // no check box ran its handler
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        EXPECT_EQ(channel(colour).isPlaying(), colour == kBrown) << colour;
        EXPECT_EQ(channel(colour).frequency(), 32000) << colour;
        EXPECT_EQ(channel(colour).volume(), 0) << colour;
    }
}

TEST_F(ConfigurationFiles, BrownStoredAsOnWhileBrownPlaysGoesOnWhereItWas) {
    frequencySliders(form)[0]->setValue(static_cast<int>(kSoundFileRate));
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    output.pull(6000);
    const long before = playingPosition(kBrown);
    ASSERT_GE(before, 6000);
    putFile(mixes / "brown.clm", "1,0,0,0,0,0,0,0,0,0,22050,32000,32000,32000,32000\r\n");

    loadFrom(mixPath("brown.clm"));

    EXPECT_TRUE(channel(kBrown).isPlaying());
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_GT(playingPosition(kBrown), before);
}

// The timer's firing hides the window as after start-up; a load only arms it, when ticked.
TEST_F(ConfigurationFiles, LoadingArmsTheStartInTrayTimerOnlyWhenItIsTicked) {
    putFile(mixes / "pink.clm", "0,1,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000\r\n");
    loadFrom(mixPath("pink.clm"));
    EXPECT_FALSE(startInTrayTimer(form)->isActive());
    startInTrayBox(form)->setValue(CheckBox::kOn);
    loadFrom(mixPath("pink.clm"));
    EXPECT_TRUE(startInTrayTimer(form)->isActive());
    EXPECT_TRUE(channel(1).isPlaying());
}

TEST_F(ConfigurationFiles, MasterVolumePanningMuteAndStartInTrayAreLeftAsTheyAre) {
    panningSlider(form)->setValue(-2000);
    masterVolumeSlider(form)->setValue(20000);
    muteButton(form)->click(); // mute
    startInTrayBox(form)->setValue(CheckBox::kGreyed);
    const auto speakerVolumesBefore = volumePort.speakerVolumes();
    putFile(mixes / "mix.clm", "1,1,1,1,1,-5,-5,-5,-5,-5,2000,2000,2000,2000,2000,1\r\n");

    loadFrom(mixPath("mix.clm"));

    EXPECT_EQ(panningSlider(form)->value(), -2000);
    EXPECT_EQ(masterVolumeSlider(form)->value(), 0);
    EXPECT_EQ(startInTrayBox(form)->value(), CheckBox::kGreyed);
    EXPECT_EQ(volumePort.speakerVolumes(), speakerVolumesBefore);
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        EXPECT_EQ(channel(colour).pan(), -2000) << colour;
    muteButton(form)->click(); // still muted: this unmutes
    EXPECT_EQ(masterVolumeSlider(form)->value(), 20000);
}

} // namespace
} // namespace calmfield
