#include "instance/InstanceRequest.h"

#include <gtest/gtest.h>

#include <QtGlobal>

namespace calmfield {
namespace {

using namespace instance;
using std::chrono::seconds;

// A running copy of an older build understands the plain "show" a later start sends without a
// token; the round trip of every request is the fuzz target's to check.
TEST(InstanceRequest, LinesKeepTheirOldFormWithoutAToken) {
    EXPECT_EQ(instanceRequestLine(ShowRequest{}), "show\n");
    EXPECT_EQ(instanceRequestLine(ShowRequest{"a b"}), "show\n");
    EXPECT_EQ(instanceRequestLine(SleepRequest{seconds(90)}), "sleep 90\n");
    EXPECT_EQ(readInstanceRequest("show abc\n"), InstanceRequest{ShowRequest{"abc"}});
}

TEST(InstanceRequest, LinesNotUnderstoodArePassedOver) {
    const QByteArray tooLong = "show " + QByteArray(kLongestActivationToken + 1, 'k') + '\n';
    for (const QByteArray& line :
         {QByteArray("show"), QByteArray("Show\n"), QByteArray("show\r\n"), QByteArray("show \n"),
          QByteArray("show a b\n"), QByteArray("show \x01\n"), tooLong, QByteArray("sleep\n"),
          QByteArray("sleep 9\n"), QByteArray("sleep 86401\n"), QByteArray("sleep -30\n"),
          QByteArray("sleep 30x\n"), QByteArray("sleep 99999999999999999999\n"),
          QByteArray("sleep 30\nshow\n"), QByteArray("show\0\n", 6)})
        EXPECT_FALSE(readInstanceRequest(line)) << line.constData();
}

TEST(InstanceRequest, TheLaunchersTokenComesFromXdgActivationElseStartupId) {
    const QByteArray savedXdg = qgetenv("XDG_ACTIVATION_TOKEN");
    const QByteArray savedStartup = qgetenv("DESKTOP_STARTUP_ID");
    qputenv("XDG_ACTIVATION_TOKEN", "wayland-token");
    qputenv("DESKTOP_STARTUP_ID", "x11-id_TIME42");
    EXPECT_EQ(launchersActivationToken(), "wayland-token");
    qputenv("XDG_ACTIVATION_TOKEN", "not usable");
    EXPECT_EQ(launchersActivationToken(), "x11-id_TIME42");
    qunsetenv("XDG_ACTIVATION_TOKEN");
    qunsetenv("DESKTOP_STARTUP_ID");
    EXPECT_EQ(launchersActivationToken(), "");
    const auto restore = [](const char* name, const QByteArray& value) {
        if (!value.isNull())
            qputenv(name, value);
    };
    restore("XDG_ACTIVATION_TOKEN", savedXdg);
    restore("DESKTOP_STARTUP_ID", savedStartup);
}

} // namespace
} // namespace calmfield
