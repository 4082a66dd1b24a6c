// The built program, headless over a private server, playing a routine on the next minute of the
// wall clock.

#include "ProgramFixture.h"

#include "tests/support/SignalAnalysis.h"
#include "tests/support/SourceRecorder.h"

#include <signal.h>

#include <chrono>
#include <fstream>
#include <map>
#include <thread>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;
using RoutineProgram = testsupport::ProgramFixture;

std::string clockReading(Clock::time_point moment) {
    const std::time_t time = Clock::to_time_t(moment);
    char text[8];
    std::strftime(text, sizeof text, "%H:%M", std::gmtime(&time));
    return text;
}

// Silence before; the rise; the mix; the fall ending at the end time; silence after, the program
// still running.
TEST_F(RoutineProgram, PlaysItsMixOnTheNextMinuteAndFallsSilentAtItsEnd) {
    std::ofstream(folder / "settings.ini") << "0,0,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050,0";
    std::ofstream(root / "white.clm") << "0,0,1,0,0,0,0,-600,0,0,22050,22050,22050,22050,22050\r\n";
    auto start = std::chrono::ceil<std::chrono::minutes>(Clock::now() + 6s);
    fs::create_directories(root / "home/.config/calmfield");
    std::ofstream(root / "home/.config/calmfield/routines")
        << "daily " << clockReading(start) << " " << clockReading(start + 1min) << " 10s 20s "
        << (root / "white.clm").string() << "\n";
    std::vector<std::string> environment = testsupport::headlessEnvironmentFor(server, root);
    environment.push_back("TZ=UTC");
    auto program = testsupport::ChildProcess::spawn({this->program(), "--headless"}, environment,
                                                    root / "headless.log");
    ASSERT_TRUE(program);
    ASSERT_TRUE(testsupport::waitForStartUp(program->pid()));

    // Each second's level, by the second of the routine it began in: the monitor's sound is
    // recorded from 3 s before the start without a break, so its seconds are counted rather than
    // read off a clock a busy machine may read late.
    std::this_thread::sleep_until(start - 3s);
    testsupport::SourceRecorder recorder(server.address(), server.monitorSourceName(),
                                         server.sampleRate());
    ASSERT_TRUE(recorder.connected()) << recorder.error();
    std::map<long, double> levels;
    for (long second = -3; second < 66; ++second) {
        const auto samples = recorder.record(1s);
        ASSERT_FALSE(samples.empty()) << recorder.error();
        levels[second] = testsupport::rmsDecibels(samples);
    }
    const auto at = [&](long second) { return levels.at(second); };
    EXPECT_LT(at(-2), -90) << "silence before the start";
    EXPECT_LT(at(3), at(25) - 10) << "still rising 3 s in";
    EXPECT_GT(at(25), -40) << "the mix plays";
    EXPECT_LT(at(52), at(25) - 10) << "falling towards the end";
    EXPECT_LT(at(63), -90) << "silent after the end";
    EXPECT_EQ(::kill(program->pid(), 0), 0) << "still running for the next routine";
}

} // namespace
} // namespace calmfield
