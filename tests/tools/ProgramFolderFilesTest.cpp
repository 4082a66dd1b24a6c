#include "engine/NoiseColours.h"
#include "files/StoredName.h"
#include "player/ColourWords.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace calmfield {
namespace {

// The program looks its files up under the names it stores; each must find a generated file.
TEST(ProgramFolderFiles, EveryStoredSoundAndPictureNameFindsAFile) {
    const char* folder = std::getenv("CALMFIELD_PROGRAM_DIR");
    ASSERT_NE(folder, nullptr);
    for (const auto& colour : engine::kNoiseColours)
        EXPECT_TRUE(
            std::filesystem::is_regular_file(files::resolveStoredName(folder, colour.soundFile)))
            << colour.soundFile;
    for (const auto picture : player::kColourPictures)
        EXPECT_TRUE(std::filesystem::is_regular_file(files::resolveStoredName(folder, picture)))
            << picture;
}

} // namespace
} // namespace calmfield
