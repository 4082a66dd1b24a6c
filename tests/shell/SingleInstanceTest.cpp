#include "MainWindowFixture.h"

#include "app/RuntimeFolder.h"
#include "app/SingleInstance.h"

#include <QLocalSocket>
#include <QTemporaryDir>

#include <unistd.h>

#include <cstdlib>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using app::SingleInstance;
using testing::waitUntil;

// A later start asks the first to show itself, or with a sleep timer hands that over instead.
TEST(SingleInstance, ALaterStartAsksTheFirstToShowItselfOrToSleep) {
    QTemporaryDir folder;
    SingleInstance first(folder.path().toStdString());
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    ASSERT_TRUE(first.listen());
    int shows = 0;
    std::vector<std::chrono::seconds> sleeps;
    QObject::connect(&first, &SingleInstance::showRequested, [&] { ++shows; });
    QObject::connect(&first, &SingleInstance::sleepRequested,
                     [&](std::chrono::seconds duration) { sleeps.push_back(duration); });

    SingleInstance second(folder.path().toStdString());
    EXPECT_EQ(second.claim(), SingleInstance::Claim::HandedOver);
    EXPECT_TRUE(waitUntil([&] { return shows == 1; }));
    SingleInstance third(folder.path().toStdString());
    EXPECT_EQ(third.claim(app::SleepRequest{std::chrono::minutes(30)}),
              SingleInstance::Claim::HandedOver);
    EXPECT_TRUE(waitUntil([&] { return !sleeps.empty(); }));
    EXPECT_EQ(sleeps, std::vector<std::chrono::seconds>{std::chrono::minutes(30)});
    EXPECT_EQ(shows, 1) << "a sleep timer handed over shows nothing";
}

// The longest token passes; a sender that never ends its line is cut off, and others still heard.
TEST(SingleInstance, HandsOnTheActivationTokenAndCutsOffEndlessLines) {
    QTemporaryDir folder;
    SingleInstance first(folder.path().toStdString());
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    ASSERT_TRUE(first.listen());
    QList<QByteArray> tokens;
    QObject::connect(&first, &SingleInstance::showRequested,
                     [&](const QByteArray& token) { tokens.append(token); });

    QLocalSocket endless;
    endless.connectToServer(folder.filePath("calmfield.socket"));
    ASSERT_TRUE(endless.waitForConnected(1000));
    endless.write(QByteArray(app::kLongestRequestLine, 's'));
    EXPECT_TRUE(waitUntil([&] { return endless.state() == QLocalSocket::UnconnectedState; }));

    const QByteArray longest(app::kLongestActivationToken, 't');
    SingleInstance second(folder.path().toStdString());
    EXPECT_EQ(second.claim(app::ShowRequest{longest}), SingleInstance::Claim::HandedOver);
    EXPECT_TRUE(waitUntil([&] { return !tokens.empty(); }));
    EXPECT_EQ(tokens, QList<QByteArray>{longest});
}

TEST(RuntimeFolder, IsTheUsersOwnAndPrivate) {
    QTemporaryDir scratch;
    const fs::path root = scratch.path().toStdString();
    const auto privateOnly = [](const fs::path& folder) {
        return fs::status(folder).permissions() == fs::perms::owner_all;
    };
    const auto made = app::privateFolder(root / "made");
    ASSERT_TRUE(made);
    EXPECT_TRUE(privateOnly(*made));
    fs::create_directory(root / "open");
    fs::permissions(root / "open", fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::others_read | fs::perms::others_exec);
    ASSERT_TRUE(app::privateFolder(root / "open"));
    EXPECT_TRUE(privateOnly(root / "open"));
    fs::create_directory_symlink(root / "made", root / "link");
    EXPECT_FALSE(app::privateFolder(root / "link"));
    if (::getuid() == 0) {
        fs::create_directory(root / "others");
        ASSERT_EQ(::chown((root / "others").c_str(), 65534, 65534), 0);
        EXPECT_FALSE(app::privateFolder(root / "others"));
    }

    // Named but not there yet, it is made, so that a copy started once something else has made
    // it looks in the same place; without XDG_RUNTIME_DIR, as under a service manager or in CI,
    // the program has its own.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    ::setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    const auto named = app::userRuntimeFolder();
    ::unsetenv("XDG_RUNTIME_DIR");
    const auto fallback = app::userRuntimeFolder();
    if (!runtime.isNull())
        ::setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
    EXPECT_EQ(named, std::optional(root / "runtime"));
    EXPECT_TRUE(privateOnly(root / "runtime"));
    ASSERT_TRUE(fallback);
    EXPECT_EQ(*fallback, fs::path("/tmp/calmfield-" + std::to_string(::getuid())));
    EXPECT_TRUE(privateOnly(*fallback));
}

} // namespace
} // namespace calmfield
