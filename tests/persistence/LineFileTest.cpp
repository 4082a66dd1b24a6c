#include "persistence/LineFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/PipeWatch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace calmfield::persistence {
namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class LineFile : public ::testing::Test {
  protected:
    QString pathOf(const QString& name) const { return folder.filePath(name); }
    QTemporaryDir folder;
};

TEST_F(LineFile, WritesTheLineAndReadsItBack) {
    const std::vector<std::int16_t> values{0, 1, 2, -1500, 32767, -3000};
    EXPECT_TRUE(writeLineFile(pathOf("mix.clm"), values).ok());
    EXPECT_EQ(contentOf(pathOf("mix.clm")), QByteArray("0,1,2,-1500,32767,-3000\r\n"));
    const auto read = readLineFile(pathOf("mix.clm"), values.size());
    ASSERT_TRUE(read.ok()) << read.reason().toStdString();
    EXPECT_EQ(read.value(), values);
}

TEST_F(LineFile, ANameWithoutExtensionIsUsedAsTyped) {
    const std::vector<std::int16_t> values{7};
    EXPECT_TRUE(writeLineFile(pathOf("quiet evening"), values).ok());
    EXPECT_TRUE(QFile::exists(pathOf("quiet evening")));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"quiet evening"});
}

TEST_F(LineFile, ReplacesAnOlderFileWhole) {
    putFile(pathOf("mix.clm"), QByteArray(500, '9'));
    const std::vector<std::int16_t> values{1, 2};
    EXPECT_TRUE(writeLineFile(pathOf("mix.clm"), values).ok());
    EXPECT_EQ(contentOf(pathOf("mix.clm")), QByteArray("1,2\r\n"));
}

TEST_F(LineFile, ReadingFailuresSayWhatIsWrong) {
    EXPECT_EQ(readLineFile(pathOf("absent.clm"), 15).reason(), "there is no such file");
    EXPECT_EQ(readLineFile(folder.path(), 15).reason(), "it is a folder");
    putFile(pathOf("short.clm"), "1,2,3\r\n");
    const auto shortFile = readLineFile(pathOf("short.clm"), 16);
    EXPECT_EQ(shortFile.reason(), "it holds 3 of the 16 numbers needed");
}

TEST_F(LineFile, APipeUnderTheNameIsRefusedWithoutWaitingForAWriter) {
    const QString pipe = pathOf("settings.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    testsupport::PipeWatch watch(QFile::encodeName(pipe).toStdString());
    const auto read = readLineFile(pipe, 16);
    EXPECT_FALSE(watch.released()) << "waited on the pipe";
    EXPECT_EQ(read.reason(), "it is not a regular file");
}

TEST_F(LineFile, AWriteIntoAPlaceThatCannotTakeItFailsWithAReason) {
    putFile(pathOf("plain"), "x");
    const std::vector<std::int16_t> values{1};
    EXPECT_FALSE(writeLineFile(pathOf("plain/settings.ini"), values).reason().isEmpty());
    EXPECT_FALSE(writeLineFile(pathOf("no such folder/settings.ini"), values).reason().isEmpty());
    EXPECT_EQ(contentOf(pathOf("plain")), QByteArray("x"));
}

TEST_F(LineFile, AWriteThatFailsHalfWayKeepsTheOldFile) {
    const QByteArray old = "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1\r\n";
    putFile(pathOf("settings.ini"), old);

    bool written = true;
    {
        // Let no file grow past 8 bytes, so that the new line cannot be written in full.
        testsupport::FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        written = writeLineFile(pathOf("settings.ini"), std::vector<std::int16_t>(16, -3000)).ok();
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(contentOf(pathOf("settings.ini")), old);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"settings.ini"});
}

} // namespace
} // namespace calmfield::persistence
