// Sleeping and waking, through a stand-in for logind on a private system bus.

#include "session/SystemSuspend.h"
#include "MainWindowFixture.h"
#include "persistence/Mix.h"
#include "player/MixFader.h"
#include "tests/support/PrivateSessionBus.h"
#include "tests/support/SignalAnalysis.h"
#include "tests/support/StandInPowerServices.h"

#include <QDBusConnection>

namespace calmfield::testsupport {
namespace {

using namespace std::chrono_literals;

class SystemSuspendTest : public MainWindowFixture {
  protected:
    void TearDown() override {
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
    }
    // The level of the next `length` the output renders.
    double levelOfNext(std::chrono::milliseconds length) {
        const auto frames = static_cast<std::size_t>(length.count()) * output.sampleRate() / 1000;
        return testsupport::rmsDecibels(output.pull(frames));
    }
};

TEST_F(SystemSuspendTest, HoldsADelayWhilePlayingFallsSilentBeforeSleepAndRisesGentlyAfter) {
    testsupport::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start()) << bus.error();
    const QString address = QString::fromStdString(bus.address());
    QDBusConnection systemBus = QDBusConnection::connectToBus(address, QStringLiteral("program"));
    testsupport::StandInLogin login;
    ASSERT_TRUE(login.serveOn(QDBusConnection::connectToBus(address, QStringLiteral("logind"))));
    session::SystemSuspend& suspend = run->program().systemSuspend();
    suspend.listenOn(systemBus);

    colourToggles(form)[2]->setValue(persistence::kOn); // white noise, the steadiest
    ASSERT_TRUE(waitUntil([&] { return login.held() == 1; }));
    EXPECT_EQ(login.lastWhat, QStringLiteral("sleep"));
    EXPECT_EQ(login.lastMode, QStringLiteral("delay"));
    levelOfNext(500ms);
    const double steady = levelOfNext(1s);

    login.prepareForSleep(true);
    ASSERT_TRUE(waitUntil([&] { return login.held() == 0; })) << "released before sleeping";
    levelOfNext(player::MixFader::kFallAsleep + 50ms);
    EXPECT_LT(levelOfNext(500ms), -120.0) << "silent before sleeping";

    login.prepareForSleep(false);
    ASSERT_TRUE(waitUntil([&] { return login.held() == 1; })) << "taken again on waking";
    EXPECT_LT(levelOfNext(100ms), steady - 40.0) << "the first 100 ms after waking";
    levelOfNext(2400ms);
    EXPECT_NEAR(levelOfNext(1s), steady, 1.0) << "back 2.5 s after waking";
}

} // namespace
} // namespace calmfield::testsupport
