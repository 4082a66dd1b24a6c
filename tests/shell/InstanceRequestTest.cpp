#include "app/InstanceRequest.h"

#include <gtest/gtest.h>

#include <QtGlobal>

namespace calmfield {
namespace {

using namespace app;
using std::chrono::seconds;

TEST(InstanceRequest, EveryRequestReadsBackFromItsLine) {
    const QByteArray longest(kLongestActivationToken, 'k');
    for (const InstanceRequest& request :
         {InstanceRequest{ShowRequest{}}, InstanceRequest{ShowRequest{"sway-3f9e_TIME1234"}},
          InstanceRequest{ShowRequest{longest}}, InstanceRequest{SleepRequest{seconds(10)}},
          InstanceRequest{SleepRequest{seconds(24 * 3600)}}}) {
        const QByteArray line = instanceRequestLine(request);
        EXPECT_EQ(readInstanceRequest(line), request) << line.constData();
    }
    EXPECT_EQ(instanceRequestLine(ShowRequest{}), "show\n");
    EXPECT_EQ(instanceRequestLine(ShowRequest{"abc"}), "show abc\n");
    EXPECT_EQ(instanceRequestLine(SleepRequest{seconds(90)}), "sleep 90\n");
    // A token that could break the line is not sent.
    for (const QByteArray& unusable :
         {QByteArray("a b"), QByteArray("a\nsleep 10"), QByteArray("t\xc3\xa9"), longest + 'k'})
        EXPECT_EQ(instanceRequestLine(ShowRequest{unusable}), "show\n") << unusable.constData();
}

TEST(InstanceRequest, LinesNotUnderstoodArePassedOver) {
    const QByteArray tooLong = "show " + QByteArray(kLongestActivationToken + 1, 'k') + '\n';
    for (const QByteArray& line : {QByteArray("show"),
                                   QByteArray("\n"),
                                   QByteArray("Show\n"),
                                   QByteArray("show\r\n"),
                                   QByteArray("show \n"),
                                   QByteArray("show a b\n"),
                                   QByteArray("show \x01\n"),
                                   QByteArray("show \x7f\n"),
                                   tooLong,
                                   QByteArray("showx\n"),
                                   QByteArray("sleep\n"),
                                   QByteArray("sleep 9\n"),
                                   QByteArray("sleep 86401\n"),
                                   QByteArray("sleep -30\n"),
                                   QByteArray("sleep +30\n"),
                                   QByteArray("sleep 30x\n"),
                                   QByteArray("sleep  30\n"),
                                   QByteArray("sleep 99999999999999999999\n"),
                                   QByteArray("sleep 30\nshow\n"),
                                   QByteArray("show\0\n", 6)})
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
