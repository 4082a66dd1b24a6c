#include "persistence/Mix.h"
#include "persistence/DriftFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <sstream>

namespace calmfield::persistence {
namespace {

std::string contentOf(const QString& path) {
    std::ifstream file(path.toStdString(), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

class MixFiles : public ::testing::Test {
  protected:
    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }
    QTemporaryDir folder;
};

TEST_F(MixFiles, HoldTheFieldsInTheirOrderAndGiveThemBack) {
    Settings settings;
    settings.mix = {{kOn, kOff, kGreyed, kOff, kOff},
                    {-1, -2, -3, -4, Mix::kQuietest},
                    {Mix::kLowestFrequency, 2000, 3000, 4000, Mix::kHighestFrequency}};
    settings.startInTray = kGreyed;
    ASSERT_TRUE(writeSettings(path("settings.ini"), settings).ok());
    EXPECT_EQ(contentOf(path("settings.ini")),
              "1,0,2,0,0,-1,-2,-3,-4,-3000,1000,2000,3000,4000,32767,2\r\n");
    EXPECT_EQ(readSettings(path("settings.ini")).value(), settings);
    // A settings file loads as a configuration; a configuration is one field short of settings.
    EXPECT_EQ(readMix(path("settings.ini")).value(), settings.mix);
    ASSERT_TRUE(writeMix(path("mix.clm"), settings.mix).ok());
    EXPECT_EQ(contentOf(path("mix.clm")),
              "1,0,2,0,0,-1,-2,-3,-4,-3000,1000,2000,3000,4000,32767\r\n");
    EXPECT_EQ(readSettings(path("mix.clm")).reason(), "it holds 15 of the 16 numbers needed");
}

void putFile(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

constexpr char kFields[] = "1,1,0,0,0,-1200,-600,-3000,0,0,32000,32000,32000,22050,32767";

// The drift line after the fields: written only for drift that is on, read from the first line
// that is not empty, and refused when damaged; anything else after the fields is still ignored,
// and the startup settings file never holds it.
TEST_F(MixFiles, GiveAMixItsDriftLine) {
    Settings settings;
    settings.mix.toggles[0] = kOn;
    settings.mix.drift = {
        .on = true, .depthDb = 6, .speed = engine::DriftSpeed::Medium, .seed = 4294967295u};
    ASSERT_TRUE(writeMix(path("drift.clm"), settings.mix).ok());
    EXPECT_EQ(contentOf(path("drift.clm")),
              "1,0,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000\r\ndrift 6 medium 4294967295\r\n");
    EXPECT_EQ(readMix(path("drift.clm")).value(), settings.mix);
    ASSERT_TRUE(writeSettings(path("settings.ini"), settings).ok());
    EXPECT_EQ(contentOf(path("settings.ini")).find("drift"), std::string::npos);
    EXPECT_FALSE(readSettings(path("settings.ini")).value().mix.drift.on);

    putFile(path("spaced.clm"), std::string(kFields) + ",9\n\n \t\ndrift\t2  slow 0");
    EXPECT_EQ(readMix(path("spaced.clm")).value().drift,
              (engine::DriftSetting{true, 2, engine::DriftSpeed::Slow, 0}));
    putFile(path("other.clm"), std::string(kFields) + "\r\nnotes: drift 6 fast 1\r\n");
    EXPECT_FALSE(readMix(path("other.clm")).value().drift.on);

    for (const char* damaged : {"drift 13 fast 1", "drift 6 brisk 1", "drift 6 fast 4294967296",
                                "drift 6 fast", "drift 6 fast 1 more", "drift -1 slow 1"}) {
        putFile(path("damaged.clm"), std::string(kFields) + "\r\n" + damaged + "\r\n");
        const auto read = readMix(path("damaged.clm"));
        ASSERT_FALSE(read.ok()) << damaged;
        EXPECT_TRUE(read.reason().startsWith(QStringLiteral("its drift line "))) << damaged;
    }
}

// The startup mix's drift is kept in a file of its own, which drift turned off removes.
TEST_F(MixFiles, KeepTheStartupMixsDriftInAFileOfItsOwn) {
    const std::filesystem::path config = path("config").toStdString();
    const engine::DriftSetting drift{true, 12, engine::DriftSpeed::Fast, 31};
    ASSERT_TRUE(writeDriftFile(config, drift).ok());
    EXPECT_EQ(readDriftFile(config).value(), drift);
    ASSERT_TRUE(writeDriftFile(config, {}).ok());
    EXPECT_FALSE(std::filesystem::exists(config / kDriftFileName));
    EXPECT_FALSE(readDriftFile(config).value().on);
    putFile(path("config/drift"), "1,2,3\r\n");
    EXPECT_EQ(readDriftFile(config).reason(), "it holds no drift line");
}

} // namespace
} // namespace calmfield::persistence
