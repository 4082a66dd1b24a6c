// "Start at Login", over an autostart folder of the test's own.

#include "MainWindowFixture.h"
#include "OwnConfigFolder.h"

#include <QFile>

#include <cstdlib>
#include <fstream>

namespace calmfield::testsupport {
namespace {

namespace fs = std::filesystem;

class StartAtLogin : public OwnConfigFolder, public MainWindowFixture {};

TEST_F(StartAtLogin, TickingWritesTheEntryUntickingRemovesItAndTheTickShowsItAtStart) {
    ASSERT_TRUE(startAtLoginAction(form)->isCheckable());
    EXPECT_FALSE(startAtLoginAction(form)->isChecked());
    startAtLoginAction(form)->trigger();
    EXPECT_TRUE(startAtLoginAction(form)->isChecked());
    ASSERT_TRUE(fs::exists(entry));
    const std::string content = contentOf(entry).toStdString();
    EXPECT_NE(content.find("\nExec=" + fs::read_symlink("/proc/self/exe").string() + "\n"),
              std::string::npos)
        << content;
    startAgain();
    EXPECT_TRUE(startAtLoginAction(form)->isChecked());

    startAtLoginAction(form)->trigger();
    EXPECT_FALSE(startAtLoginAction(form)->isChecked());
    EXPECT_FALSE(fs::exists(entry));
    startAgain();
    EXPECT_FALSE(startAtLoginAction(form)->isChecked());
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();

    // With a file where the folder would be, the entry cannot be written.
    fs::remove(entry.parent_path());
    std::ofstream(entry.parent_path()) << "not a folder";
    startAtLoginAction(form)->trigger();
    EXPECT_FALSE(startAtLoginAction(form)->isChecked());
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith("Calmfield cannot start at login: the folder \""))
        << messages.messages[0].toStdString();
}

} // namespace
} // namespace calmfield::testsupport
