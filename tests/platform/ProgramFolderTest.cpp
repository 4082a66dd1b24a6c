#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

namespace calmfield {
namespace {

TEST(ProgramFolder, IsWhereTheExecutableLies) {
    EXPECT_TRUE(std::filesystem::exists(platform::programFolder() / "platform_tests"));
}

} // namespace
} // namespace calmfield
