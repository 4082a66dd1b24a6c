#include "persistence/Mix.h"

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

} // namespace
} // namespace calmfield::persistence
