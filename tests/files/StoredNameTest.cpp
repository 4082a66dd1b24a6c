#include "files/StoredName.h"
#include "tests/support/ServerTools.h"

#include <gtest/gtest.h>

#include <fstream>

namespace calmfield {
namespace {

class StoredName : public ::testing::Test {
  protected:
    ~StoredName() override { std::filesystem::remove_all(folder); }
    const std::filesystem::path folder = testsupport::makeTemporaryFolder("calmfield-stored-name");
};

TEST_F(StoredName, FindsFilesWhateverTheirLetterCaseAndDropsTrailingBlanks) {
    std::ofstream(folder / "violet.wav") << "x";
    std::ofstream(folder / "Brown_Noise.Wav") << "x";

    EXPECT_EQ(files::resolveStoredName(folder, "\\violet.Wav "), folder / "violet.wav");
    EXPECT_EQ(files::resolveStoredName(folder, "\\brown_noise.WAV"), folder / "Brown_Noise.Wav");
    EXPECT_EQ(files::resolveStoredName(folder, "\\Brown_Noise.Wav"), folder / "Brown_Noise.Wav");
}

TEST_F(StoredName, AMissingFileKeepsTheNameAsStoredWithoutSeparatorOrBlanks) {
    EXPECT_EQ(files::resolveStoredName(folder, "\\settings.ini "), folder / "settings.ini");
    EXPECT_EQ(files::resolveStoredName(folder / "absent", "\\help.htm"),
              folder / "absent" / "help.htm");
}

} // namespace
} // namespace calmfield
