#include "persistence/StartupSettingsLocation.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace calmfield::persistence {
namespace {

namespace fs = std::filesystem;

void makeFile(const fs::path& file) {
    std::ofstream(file) << "0\r\n";
}

class StartupSettingsPlace : public ::testing::Test {
  protected:
    StartupSettingsPlace() { fs::create_directories(program); }

    // The rule as it is on a machine where the paths in `unwritable` cannot be written.
    StartupSettingsLocation locationWhereUnwritable(std::set<fs::path> unwritable) const {
        return StartupSettingsLocation(program, user, [unwritable](const fs::path& path) {
            return unwritable.count(path) == 0 && StartupSettingsLocation::writableByUser(path);
        });
    }

    QTemporaryDir scratch;
    fs::path root = scratch.path().toStdString();
    fs::path program = root / "program";
    fs::path user = root / "home" / ".config" / "calmfield";
    StartupSettingsLocation location{program, user};
};

TEST_F(StartupSettingsPlace, AWritableProgramFolderKeepsTheFileBesideTheProgram) {
    EXPECT_TRUE(location.programFolderTakesIt());
    EXPECT_EQ(location.fileToWrite(), program / "settings.ini");
    EXPECT_EQ(location.fileToRead(), fs::path()); // nothing to read yet

    makeFile(program / "settings.ini");
    EXPECT_EQ(location.fileToRead(), program / "settings.ini");
    EXPECT_EQ(location.fileToWrite(), program / "settings.ini");
}

TEST_F(StartupSettingsPlace, TheFileBesideTheProgramIsFoundWhateverItsLetterCase) {
    makeFile(program / "SETTINGS.Ini");
    EXPECT_EQ(location.fileToRead(), program / "SETTINGS.Ini");
    EXPECT_EQ(location.fileToWrite(), program / "SETTINGS.Ini");
}

TEST_F(StartupSettingsPlace, AUserFileIsIgnoredWhileTheProgramFolderTakesIt) {
    fs::create_directories(user);
    makeFile(user / "settings.ini");
    EXPECT_EQ(location.fileToRead(), fs::path());
    makeFile(program / "settings.ini");
    EXPECT_EQ(location.fileToRead(), program / "settings.ini");
}

TEST_F(StartupSettingsPlace, AFolderWhereTheFileShouldBeSendsItToTheUsersFolder) {
    fs::create_directories(program / "settings.ini");
    EXPECT_FALSE(location.programFolderTakesIt());
    EXPECT_EQ(location.fileToWrite(), user / "settings.ini");
    EXPECT_EQ(location.fileToRead(), fs::path()); // a folder is no settings file

    fs::create_directories(user);
    makeFile(user / "settings.ini");
    EXPECT_EQ(location.fileToRead(), user / "settings.ini");
}

TEST_F(StartupSettingsPlace, AProgramFolderThatIsNoFolderSendsItToTheUsersFolder) {
    const fs::path plain = root / "plain";
    makeFile(plain);
    const StartupSettingsLocation inPlainFile(plain, user);
    EXPECT_FALSE(inPlainFile.programFolderTakesIt());
    EXPECT_EQ(inPlainFile.fileToWrite(), user / "settings.ini");
    EXPECT_EQ(inPlainFile.fileToRead(), fs::path());
    const StartupSettingsLocation nowhere(root / "no such folder", user);
    EXPECT_FALSE(nowhere.programFolderTakesIt());
}

TEST_F(StartupSettingsPlace, AnUnwritableProgramFolderIsReadUntilTheUsersFileExists) {
    makeFile(program / "settings.ini");
    const auto installed = locationWhereUnwritable({program});
    EXPECT_FALSE(installed.programFolderTakesIt());
    EXPECT_EQ(installed.fileToRead(), program / "settings.ini");
    EXPECT_EQ(installed.fileToWrite(), user / "settings.ini");

    fs::create_directories(user);
    makeFile(user / "settings.ini");
    EXPECT_EQ(installed.fileToRead(), user / "settings.ini");
    EXPECT_EQ(installed.fileToWrite(), user / "settings.ini");
}

TEST_F(StartupSettingsPlace, AnUnwritableFileBesideTheProgramCountsAsAnUnwritableFolder) {
    makeFile(program / "settings.ini");
    const auto readOnly = locationWhereUnwritable({program / "settings.ini"});
    EXPECT_FALSE(readOnly.programFolderTakesIt());
    EXPECT_EQ(readOnly.fileToRead(), program / "settings.ini");
    EXPECT_EQ(readOnly.fileToWrite(), user / "settings.ini");
}

TEST_F(StartupSettingsPlace, WithoutAUserFolderTheProgramFolderIsTheOnlyPlace) {
    makeFile(program / "settings.ini");
    const StartupSettingsLocation noHome(program, fs::path(),
                                         [](const fs::path&) { return false; });
    EXPECT_EQ(noHome.fileToRead(), program / "settings.ini");
    EXPECT_EQ(noHome.fileToWrite(), program / "settings.ini");
}

TEST_F(StartupSettingsPlace, WritabilityIsAskedOfTheSystem) {
    EXPECT_TRUE(StartupSettingsLocation::writableByUser(program));
    EXPECT_FALSE(StartupSettingsLocation::writableByUser(root / "no such folder"));
    makeFile(root / "plain");
    EXPECT_FALSE(StartupSettingsLocation::writableByUser(root / "plain" / "inside"));
}

} // namespace
} // namespace calmfield::persistence
