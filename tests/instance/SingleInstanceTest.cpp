#include "MainWindowFixture.h"

#include "instance/RuntimeFolder.h"
#include "instance/SingleInstance.h"

#include <QLocalSocket>
#include <QTemporaryDir>

#include <unistd.h>

#include <cstdlib>
#include <future>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using instance::SingleInstance;
using testsupport::waitUntil;

struct LaterStart {
    SingleInstance::Claim claim;
    std::optional<SingleInstance::Kind> runningKind;
};

// A later start of `kind` asking `request` of the copy running in this thread, whose event loop
// runs meanwhile so that it can answer.
LaterStart
startAgain(const QTemporaryDir& folder,
           const std::optional<instance::InstanceRequest>& request = instance::ShowRequest{},
           SingleInstance::Kind kind = SingleInstance::Kind::window) {
    auto later = std::async(std::launch::async, [&] {
        SingleInstance instance(folder.path().toStdString(), kind);
        const SingleInstance::Claim claim = instance.claim(request);
        return LaterStart{claim, instance.runningKind()};
    });
    waitUntil([&] { return later.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
              SingleInstance::kReachTimeout + SingleInstance::kAnswerTimeout);
    return later.get();
}

// A later start asks the first to show itself, or with a sleep timer hands that over instead.
TEST(SingleInstance, ALaterStartAsksTheFirstToShowItselfOrToSleep) {
    QTemporaryDir folder;
    SingleInstance first(folder.path().toStdString(), SingleInstance::Kind::headless);
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    ASSERT_TRUE(first.listen());
    int shows = 0;
    std::vector<std::chrono::seconds> sleeps;
    QObject::connect(&first, &SingleInstance::showRequested, [&] { ++shows; });
    QObject::connect(&first, &SingleInstance::sleepRequested,
                     [&](std::chrono::seconds duration) { sleeps.push_back(duration); });

    const LaterStart second = startAgain(folder);
    EXPECT_EQ(second.claim, SingleInstance::Claim::HandedOver);
    EXPECT_EQ(second.runningKind, SingleInstance::Kind::headless);
    EXPECT_TRUE(waitUntil([&] { return shows == 1; }));
    EXPECT_EQ(startAgain(folder, instance::SleepRequest{std::chrono::minutes(30)}).claim,
              SingleInstance::Claim::HandedOver);
    EXPECT_TRUE(waitUntil([&] { return !sleeps.empty(); }));
    EXPECT_EQ(sleeps, std::vector<std::chrono::seconds>{std::chrono::minutes(30)});
    // One that only asks which kind runs, as a later --headless does, asks nothing of it.
    EXPECT_EQ(startAgain(folder, std::nullopt).runningKind, SingleInstance::Kind::headless);
    EXPECT_EQ(shows, 1) << "a sleep timer handed over shows nothing";
}

// The longest token passes; a sender that never ends its line is cut off, and others still heard.
TEST(SingleInstance, HandsOnTheActivationTokenAndCutsOffEndlessLines) {
    QTemporaryDir folder;
    SingleInstance first(folder.path().toStdString(), SingleInstance::Kind::window);
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    ASSERT_TRUE(first.listen());
    QList<QByteArray> tokens;
    QObject::connect(&first, &SingleInstance::showRequested,
                     [&](const QByteArray& token) { tokens.append(token); });

    QLocalSocket endless;
    endless.connectToServer(folder.filePath("calmfield.socket"));
    ASSERT_TRUE(endless.waitForConnected(1000));
    endless.write(QByteArray(instance::kLongestRequestLine, 's'));
    EXPECT_TRUE(waitUntil([&] { return endless.state() == QLocalSocket::UnconnectedState; }));

    const QByteArray longest(instance::kLongestActivationToken, 't');
    const LaterStart second = startAgain(folder, instance::ShowRequest{longest});
    EXPECT_EQ(second.claim, SingleInstance::Claim::HandedOver);
    EXPECT_EQ(second.runningKind, SingleInstance::Kind::window);
    EXPECT_TRUE(waitUntil([&] { return !tokens.empty(); }));
    EXPECT_EQ(tokens, QList<QByteArray>{longest});
}

TEST(RuntimeFolder, IsTheUsersOwnAndPrivate) {
    QTemporaryDir scratch;
    const fs::path root = scratch.path().toStdString();
    const auto privateOnly = [](const fs::path& folder) {
        return fs::status(folder).permissions() == fs::perms::owner_all;
    };
    const auto made = instance::privateFolder(root / "made");
    ASSERT_TRUE(made);
    EXPECT_TRUE(privateOnly(*made));
    fs::create_directory(root / "open");
    fs::permissions(root / "open", fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::others_read | fs::perms::others_exec);
    ASSERT_TRUE(instance::privateFolder(root / "open"));
    EXPECT_TRUE(privateOnly(root / "open"));
    fs::create_directory_symlink(root / "made", root / "link");
    EXPECT_FALSE(instance::privateFolder(root / "link"));
    if (::getuid() == 0) {
        fs::create_directory(root / "others");
        ASSERT_EQ(::chown((root / "others").c_str(), 65534, 65534), 0);
        EXPECT_FALSE(instance::privateFolder(root / "others"));
    }

    // Named but not there yet, it is made, so that a copy started once something else has made
    // it looks in the same place; without XDG_RUNTIME_DIR, as under a service manager or in CI,
    // the program has its own.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    ::setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    const auto named = instance::userRuntimeFolder();
    // One too long for a socket's address is passed over for the program's own.
    const fs::path longFolder = root / std::string(100, 'x');
    ASSERT_TRUE(instance::privateFolder(longFolder));
    ::setenv("XDG_RUNTIME_DIR", longFolder.c_str(), 1);
    const auto tooLong = instance::userRuntimeFolder();
    ::unsetenv("XDG_RUNTIME_DIR");
    const auto fallback = instance::userRuntimeFolder();
    if (!runtime.isNull())
        ::setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
    EXPECT_EQ(named, std::optional(root / "runtime"));
    EXPECT_TRUE(privateOnly(root / "runtime"));
    ASSERT_TRUE(fallback);
    EXPECT_EQ(*fallback, fs::path("/tmp/calmfield-" + std::to_string(::getuid())));
    EXPECT_EQ(tooLong, fallback);
    EXPECT_TRUE(privateOnly(*fallback));
}

} // namespace
} // namespace calmfield
