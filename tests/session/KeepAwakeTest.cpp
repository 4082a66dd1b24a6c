// Keeping the computer awake while the noise plays, through stand-ins for the power manager and the
// desktop portal on a private session bus.

#include "session/KeepAwake.h"
#include "MainWindowFixture.h"
#include "persistence/Mix.h"
#include "tests/support/PrivateSessionBus.h"
#include "tests/support/StandInPowerServices.h"

#include <QDBusConnection>

namespace calmfield::testsupport {
namespace {

using persistence::kOff;
using persistence::kOn;

class KeepAwakeTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.start()) << bus.error();
        const QString address = QString::fromStdString(bus.address());
        services = QDBusConnection::connectToBus(address, QStringLiteral("stand-ins"));
        program = QDBusConnection::connectToBus(address, QStringLiteral("program"));
        ASSERT_TRUE(services.isConnected() && program.isConnected());
    }
    void TearDown() override {
        run.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        QDBusConnection::disconnectFromBus(QStringLiteral("stand-ins"));
    }
    // Runs the program anew, asking on `sessionBus`.
    void keepAwakeOn(const QDBusConnection* sessionBus) {
        startAgain(
            {.sessionBus = sessionBus != nullptr ? std::optional(*sessionBus) : std::nullopt});
    }
    void tick(int colour, int state) { colourToggles(form)[colour]->setValue(state); }

    testsupport::PrivateSessionBus bus;
    QDBusConnection services{QString()};
    QDBusConnection program{QString()};
};

TEST_F(KeepAwakeTest, AsksThePowerManagerWhileTheNoisePlaysAndWithdrawsWheneverItStops) {
    testsupport::StandInPowerManager powerManager;
    testsupport::StandInPortal portal;
    ASSERT_TRUE(powerManager.serveOn(services));
    ASSERT_TRUE(portal.serveOn(services));
    keepAwakeOn(&program);
    EXPECT_TRUE(keepAwakeAction(form)->isChecked()) << "ticked at first";
    const auto heldIs = [&](int count) {
        return waitUntil([&] { return powerManager.held() == count; }) && portal.held() == 0;
    };

    tick(0, kOn);
    EXPECT_TRUE(heldIs(1)) << "asked once the noise plays";
    tick(1, kOn);
    session->player().pause();
    EXPECT_TRUE(heldIs(0)) << "withdrawn on pause";
    session->player().play();
    EXPECT_TRUE(heldIs(1));
    tick(0, kOff);
    tick(1, kOff);
    EXPECT_TRUE(heldIs(0)) << "withdrawn with the last colour off";
    tick(2, kOn);
    ASSERT_TRUE(heldIs(1));
    keepAwakeAction(form)->trigger();
    EXPECT_FALSE(keepAwakeAction(form)->isChecked());
    EXPECT_TRUE(heldIs(0)) << "withdrawn on unticking";
    keepAwakeAction(form)->trigger();
    ASSERT_TRUE(heldIs(1));
    form->close();
    EXPECT_TRUE(heldIs(0)) << "withdrawn as the run ends";
    EXPECT_EQ(powerManager.asked, 4);
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(u'\n').toStdString();
}

TEST_F(KeepAwakeTest, AsksThePortalToHoldOffSuspendWithoutAPowerManager) {
    testsupport::StandInPortal portal;
    ASSERT_TRUE(portal.serveOn(services));
    keepAwakeOn(&program);
    tick(3, kOn);
    ASSERT_TRUE(waitUntil([&] { return portal.held() == 1; }));
    EXPECT_FALSE(portal.lastReason.isEmpty());
    session->player().pause();
    EXPECT_TRUE(waitUntil([&] { return portal.held() == 0; })) << "the request is closed";

    portal.answer.reset();
    session->player().play();
    ASSERT_TRUE(waitUntil([&] { return portal.open() == 1; }));
    session->player().pause();
    EXPECT_TRUE(waitUntil([&] { return portal.open() == 0; })) << "closed while unanswered";
}

TEST_F(KeepAwakeTest, ADesktopsRefusalIsToldOnceAndShownOnTheItem) {
    testsupport::StandInPortal portal;
    portal.answer = 2;
    ASSERT_TRUE(portal.serveOn(services));
    keepAwakeOn(&program);
    tick(0, kOn);
    ASSERT_TRUE(waitUntil([&] { return !messages.messages.isEmpty(); }));
    EXPECT_TRUE(messages.messages.front().contains(QStringLiteral("refused")));
    EXPECT_EQ(keepAwakeAction(form)->text(),
              QStringLiteral("Keep Computer Awake (refused by this desktop)"));
    session->player().pause();
    session->player().play();
    ASSERT_TRUE(waitUntil([&] { return portal.flagsAsked.size() == 2; })) << "asked again";
    portal.answer = 0;
    session->player().pause();
    session->player().play();
    EXPECT_TRUE(waitUntil([&] {
        return portal.held() == 1 &&
               keepAwakeAction(form)->text() == QStringLiteral("Keep Computer Awake");
    }));
    EXPECT_EQ(messages.messages.size(), 1) << "told once a run";
    EXPECT_EQ(portal.flagsAsked, std::vector<uint>(3, 4u)) << "suspend only, never idle";
}

// The power manager crashes while it holds, and starts again.
TEST_F(KeepAwakeTest, FollowsThePowerManagerAwayToThePortalAndBackWithoutAGap) {
    const QString address = QString::fromStdString(bus.address());
    testsupport::StandInPortal portal;
    ASSERT_TRUE(portal.serveOn(services));
    testsupport::StandInPowerManager first;
    ASSERT_TRUE(first.serveOn(QDBusConnection::connectToBus(address, QStringLiteral("first"))));
    keepAwakeOn(&program);
    tick(0, kOn);
    ASSERT_TRUE(waitUntil([&] { return first.held() == 1; }));

    QDBusConnection::disconnectFromBus(QStringLiteral("first"));
    EXPECT_TRUE(waitUntil([&] { return portal.held() == 1; })) << "the portal holds instead";

    testsupport::StandInPowerManager second(100);
    int heldWhenThePortalClosed = -1;
    QObject::connect(&portal, &testsupport::StandInPortal::closed,
                     [&] { heldWhenThePortalClosed = second.held(); });
    ASSERT_TRUE(second.serveOn(QDBusConnection::connectToBus(address, QStringLiteral("second"))));
    EXPECT_TRUE(waitUntil([&] { return second.held() == 1 && portal.held() == 0; }));
    EXPECT_EQ(heldWhenThePortalClosed, 1) << "the portal let go only once the other held";
    session->player().pause();
    EXPECT_TRUE(waitUntil([&] { return second.held() == 0; }));
    EXPECT_EQ(second.strangeCookies, 0) << "the first one's cookie went to the second";
    QDBusConnection::disconnectFromBus(QStringLiteral("second"));
}

// The choice is kept for later runs, whether a service answers or not.
TEST_F(KeepAwakeTest, WithNeitherServiceTickingSaysSoAndTheChoiceIsRemembered) {
    keepAwakeOn(&program);
    keepAwakeAction(form)->trigger();
    EXPECT_TRUE(messages.messages.isEmpty()) << "unticking says nothing";
    keepAwakeOn(&program);
    EXPECT_FALSE(keepAwakeAction(form)->isChecked()) << "unticked, as last time";
    EXPECT_TRUE(keepAwakeAction(form)->isEnabled());
    keepAwakeAction(form)->trigger();
    ASSERT_TRUE(waitUntil([&] { return !messages.messages.isEmpty(); }));
    EXPECT_TRUE(
        messages.messages.front().contains(QStringLiteral("no way to keep the computer awake")))
        << messages.messages.front().toStdString();
    EXPECT_TRUE(keepAwakeAction(form)->isChecked());
    keepAwakeOn(nullptr);
    EXPECT_TRUE(keepAwakeAction(form)->isChecked()) << "ticked, as last time";
}

} // namespace
} // namespace calmfield::testsupport
