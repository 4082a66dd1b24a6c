#include "TestSounds.h"
#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace calmfield {
namespace {

TEST(StoredName, FindsFilesWhateverTheirLetterCaseAndDropsTrailingBlanks) {
    testing::TemporaryFolder folder;
    std::ofstream(folder.path() / "violet.wav") << "x";
    std::ofstream(folder.path() / "Brown_Noise.Wav") << "x";

    EXPECT_EQ(platform::resolveStoredName(folder.path(), "\\violet.Wav "),
              folder.path() / "violet.wav");
    EXPECT_EQ(platform::resolveStoredName(folder.path(), "\\brown_noise.WAV"),
              folder.path() / "Brown_Noise.Wav");
    EXPECT_EQ(platform::resolveStoredName(folder.path(), "\\Brown_Noise.Wav"),
              folder.path() / "Brown_Noise.Wav");
}

TEST(StoredName, AMissingFileKeepsTheNameAsStoredWithoutSeparatorOrBlanks) {
    testing::TemporaryFolder folder;
    EXPECT_EQ(platform::resolveStoredName(folder.path(), "\\settings.ini "),
              folder.path() / "settings.ini");
    EXPECT_EQ(platform::resolveStoredName(folder.path() / "absent", "\\help.htm"),
              folder.path() / "absent" / "help.htm");
}

TEST(StoredName, TheProgramFolderIsWhereTheExecutableLies) {
    const auto folder = platform::programFolder();
    EXPECT_TRUE(std::filesystem::exists(folder / "engine_tests"));
}

} // namespace
} // namespace calmfield
