#include "desktop/AutostartEntry.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace calmfield {
namespace {

namespace fs = std::filesystem;

class AutostartEntry : public ::testing::Test {
  protected:
    ~AutostartEntry() override { fs::remove_all(root); }
    const fs::path root =
        fs::temp_directory_path() / ("calmfield-autostart-" + std::to_string(::getpid()));
};

std::string contentOf(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
}

TEST_F(AutostartEntry, WritesAValidEntryInANewFolderAndRemovesThatEntryAlone) {
    const desktop::AutostartEntry entry(root / "autostart", "example.calmfield.Calmfield",
                                        "/opt/Calm $field/calmfield");
    EXPECT_FALSE(entry.exists());
    ASSERT_TRUE(entry.write().ok());
    EXPECT_EQ(entry.file(), root / "autostart" / "example.calmfield.Calmfield.desktop");
    ASSERT_TRUE(entry.exists());
    const std::string content = contentOf(entry.file());
    EXPECT_NE(content.find("\nExec=\"/opt/Calm \\\\$field/calmfield\"\n"), std::string::npos)
        << content;
    if (std::system("command -v desktop-file-validate >/dev/null") == 0) {
        const std::string validate = "desktop-file-validate '" + entry.file().string() + "' > '" +
                                     root.string() + "/v' 2>&1";
        EXPECT_EQ(std::system(validate.c_str()), 0) << contentOf(root / "v");
        EXPECT_EQ(contentOf(root / "v"), "");
    }

    std::ofstream(root / "autostart" / "other.desktop") << "[Desktop Entry]\n";
    EXPECT_TRUE(entry.remove().ok());
    EXPECT_FALSE(entry.exists());
    EXPECT_TRUE(fs::exists(root / "autostart" / "other.desktop"));
    EXPECT_TRUE(entry.remove().ok()) << "removing what is not there";
}

TEST(DesktopExecArgument, QuotesReservedCharactersAndEscapesTheStringValue) {
    EXPECT_EQ(desktop::desktopExecArgument("/home/a b/calmfield"), "\"/home/a b/calmfield\"");
    EXPECT_EQ(desktop::desktopExecArgument("/x/100%/calmfield"), "/x/100%%/calmfield");
    // A backslash is escaped for the quotes, then each for the string.
    EXPECT_EQ(desktop::desktopExecArgument("/a\\b\"`c"), "\"/a\\\\\\\\b\\\\\"\\\\`c\"");
}

} // namespace
} // namespace calmfield
