#include "persistence/RecentMixList.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace calmfield::persistence {
namespace {

TEST(RecentMixList, KeepsTheEightNewestOnceEachNewestFirst) {
    RecentMixList list;
    for (int i = 1; i <= 10; ++i)
        list.add(QStringLiteral("/m/%1.clm").arg(i));
    list.add(QStringLiteral("/m/5.clm"));
    EXPECT_EQ(list.paths(), QStringList({"/m/5.clm", "/m/10.clm", "/m/9.clm", "/m/8.clm",
                                         "/m/7.clm", "/m/6.clm", "/m/4.clm", "/m/3.clm"}));
}

TEST(RecentMixList, ReadsBackWhatItWroteAndIgnoresADamagedFile) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("recent-mixes"));
    const RecentMixList list(QStringList{"/a b/100% night\n.clm", "/x/\u00e9t\u00e9 & R.clm"});
    ASSERT_TRUE(writeRecentMixes(file, list).ok());
    EXPECT_EQ(readRecentMixes(file), list);

    const auto put = [&](const QByteArray& bytes) {
        QFile out(file);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(bytes);
    };
    QByteArray nine;
    for (int i = 1; i <= 9; ++i)
        nine += "/" + QByteArray::number(i) + "\n";
    for (const QByteArray& damaged :
         {QByteArray("night.clm\n"), QByteArray("/a.clm"), QByteArray("/a.clm\n/a.clm\n"),
          QByteArray("/a%00b\n"), QByteArray("/a b\n"), QByteArray("/a\n\n"),
          QByteArray("/caf%C3/\n"), nine}) {
        put(damaged);
        EXPECT_TRUE(readRecentMixes(file).isEmpty()) << damaged.toStdString();
    }
    EXPECT_TRUE(readRecentMixes(folder.filePath(QStringLiteral("none"))).isEmpty());
}

} // namespace
} // namespace calmfield::persistence
