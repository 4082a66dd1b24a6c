// Routines over the program with its windows, on a wall clock the test moves.

#include "session/RoutineRunner.h"
#include "MainWindowFixture.h"
#include "persistence/Mix.h"
#include "tests/support/SignalAnalysis.h"

#include <fstream>

namespace calmfield::testsupport {
namespace {

using namespace std::chrono_literals;

constexpr qint64 kDay = 24 * 60 * 60;
// 2027-01-15 22:00 UTC, a Friday.
constexpr qint64 kTenPm = 1'800'050'400;

class RoutineRunnerTest : public MainWindowFixture {
  protected:
    void startRoutines(const char* lines) {
        std::filesystem::create_directories(userFolder);
        std::ofstream(userFolder / "routines") << lines;
        run->program().startRoutines();
    }
    // Moves the wall clock on to `moment` and lets the routines see it, as the alarm would.
    void clockAt(qint64 moment) {
        wallClock = moment;
        run->program().routines().recheck();
    }
    double levelOfNext(std::chrono::milliseconds length) {
        const auto frames = static_cast<std::size_t>(length.count()) * output.sampleRate() / 1000;
        return testsupport::rmsDecibels(output.pull(frames));
    }
};

// Rises from silence at the start, falls to silence by the end and pauses; a pause by the user
// ends the next day's occurrence for good; a late start joins at the rise's level.
TEST_F(RoutineRunnerTest, PlaysEachOccurrenceUnlessTheUserEndsIt) {
    const auto whiteMix = userFolder / "white.clm";
    wallClock = kTenPm - 60;
    startRoutines(("# white at ten\ndaily 22:00 22:01 4s 10s " + whiteMix.string() + "\n").c_str());
    std::ofstream(whiteMix) << "0,0,1,0,0,0,0,-600,0,0,22050,22050,22050,22050,22050\r\n";
    ASSERT_EQ(run->program().routines().nextEvent()->at(), kTenPm);

    clockAt(kTenPm);
    const double first = levelOfNext(100ms);
    levelOfNext(4s);
    const double steady = levelOfNext(1s);
    EXPECT_LT(first, steady - 30) << "the rise begins from silence";
    clockAt(kTenPm + 50);
    levelOfNext(5s);
    EXPECT_LT(levelOfNext(1s), steady - 10) << "half way through the fall";
    clockAt(kTenPm + 60);
    EXPECT_TRUE(session->player().paused());
    EXPECT_EQ(run->program().routines().nextEvent()->at(), kTenPm + kDay);

    clockAt(kTenPm + kDay);
    EXPECT_FALSE(session->player().paused());
    session->player().pause();
    clockAt(kTenPm + kDay + 20);
    EXPECT_TRUE(session->player().paused()) << "the user's pause ended that night's occurrence";

    colourToggles(form)[2]->setValue(persistence::kOff);
    clockAt(kTenPm + 2 * kDay + 2);
    levelOfNext(2s + 100ms);
    EXPECT_NEAR(levelOfNext(50ms), steady, 1.0) << "joined 2 s late, at the rise's end by now";
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
}

// The clock set forward into an occurrence joins it; set back, the occurrence goes on to its end;
// set forward past its end, the program pauses.
TEST_F(RoutineRunnerTest, FollowsTheClockSetForwardAndBack) {
    wallClock = kTenPm - 3600;
    startRoutines("daily 22:00 22:30 0s 0s -\n");
    colourToggles(form)[2]->setValue(persistence::kOn);
    clockAt(kTenPm + 60);
    EXPECT_EQ(run->program().routines().nextEvent()->kind, routines::RoutineEvent::Kind::End);
    clockAt(kTenPm - 1800);
    EXPECT_FALSE(session->player().paused());
    EXPECT_EQ(run->program().routines().nextEvent()->at(), kTenPm) << "its start comes again";
    clockAt(kTenPm + 3600);
    EXPECT_TRUE(session->player().paused());
}

// A routine that starts while something plays glides each colour to its new level rather than
// rising from silence; a colour its mix leaves off glides away, then stops.
TEST_F(RoutineRunnerTest, TakesOverWhatPlaysColourByColour) {
    const auto pinkMix = userFolder / "pink.clm";
    wallClock = kTenPm - 60;
    startRoutines(("daily 22:00 23:00 4s 0s " + pinkMix.string() + "\n").c_str());
    std::ofstream(pinkMix) << "0,1,0,0,0,0,-600,-600,0,0,22050,22050,22050,22050,22050\r\n";
    colourToggles(form)[2]->setValue(persistence::kOn);
    levelOfNext(3s);
    const double steady = levelOfNext(1s);

    clockAt(kTenPm);
    double lowest = 0;
    for (int piece = 0; piece < 40; ++piece)
        lowest = std::min(lowest, levelOfNext(100ms));
    const double after = levelOfNext(1s);
    EXPECT_GT(lowest, std::min(steady, after) - 3) << "no fall to silence between the two mixes";
    EXPECT_TRUE(waitUntil([&] { return !channel(2).isPlaying(); })) << "white stops once gone";
    EXPECT_TRUE(channel(1).isPlaying());
    EXPECT_TRUE(waitUntil([&] {
        levelOfNext(10ms);
        return session->channelBank().driftLevelDb(2) == 0.0f;
    })) << "white is back at its own level for the next time it is ticked";
}

// A routine starting while another falls takes the sound back up with its own rise.
TEST_F(RoutineRunnerTest, ARoutineTakesOverAnotherMidFall) {
    wallClock = kTenPm - 60;
    startRoutines("daily 22:00 22:10 0s 10m -\ndaily 22:05 - 2s 0s -\n");
    colourToggles(form)[2]->setValue(persistence::kOn);
    levelOfNext(3s);
    const double steady = levelOfNext(1s);
    clockAt(kTenPm);
    levelOfNext(299s);
    EXPECT_LT(levelOfNext(1s), steady - 20) << "the first routine half way through its fall";
    clockAt(kTenPm + 300);
    levelOfNext(2s);
    EXPECT_NEAR(levelOfNext(1s), steady, 1.0);
}

// While a routine is on the sleep timer pauses rather than ending the program; a mix that cannot
// be loaded is told once and plays nothing.
TEST_F(RoutineRunnerTest, SleepPausesAndAnUnloadableMixIsTold) {
    wallClock = kTenPm - 60;
    startRoutines("daily 22:00 23:00 0s 0s /no/such/night.clm\n");
    colourToggles(form)[2]->setValue(persistence::kOn);
    session->player().sleepTimer().start(10s);
    clockTime += 11s;
    session->player().sleepTimer().check();
    EXPECT_TRUE(session->player().paused());
    EXPECT_EQ(programEndings, 0);

    clockAt(kTenPm);
    EXPECT_TRUE(session->player().paused());
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages.front().contains(QStringLiteral("/no/such/night.clm")));
    clockAt(kTenPm + 30);
    EXPECT_EQ(messages.messages.size(), 1);
}

} // namespace
} // namespace calmfield::testsupport
