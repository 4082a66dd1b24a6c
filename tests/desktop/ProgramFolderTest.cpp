#include "desktop/ProgramFolder.h"

#include <gtest/gtest.h>

namespace calmfield {
namespace {

TEST(ProgramFolder, IsWhereTheExecutableLies) {
    EXPECT_TRUE(std::filesystem::exists(desktop::programFolder() / "desktop_tests"));
}

} // namespace
} // namespace calmfield
