// The built program's startup mix rising from silence, heard on a private server's monitor.

#include "ProgramFixture.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/ServerTools.h"
#include "tests/support/SignalAnalysis.h"
#include "tests/support/SourceRecorder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <thread>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::fileContent;
using GentleStart = testsupport::ProgramFixture;

// White noise, the steadiest.
constexpr char kWhite[] = "0,0,1,0,0,0,0,0,0,0,22050,22050,22050,22050,22050,0";

// `heard` begins with silence, then rises to the mix's level over two seconds.
void expectGentleRise(const std::vector<float>& heard, std::size_t rate) {
    const std::size_t first =
        static_cast<std::size_t>(
            std::find_if(heard.begin(), heard.end(), [](float x) { return std::abs(x) > 1e-6f; }) -
            heard.begin()) /
        2; // the first frame that carries sound
    ASSERT_LT(first + 4 * rate, heard.size() / 2) << "sound began too late to measure";
    const auto levelFrom = [&](std::size_t frame, std::size_t frames) {
        return testsupport::rmsDecibels(
            std::vector<float>(heard.begin() + static_cast<long>(2 * frame),
                               heard.begin() + static_cast<long>(2 * (frame + frames))));
    };
    const double steady = levelFrom(first + 3 * rate, rate);
    std::printf("steady %.1f dB, first 100 ms %.1f dB, 2.5 s on %.1f dB\n", steady,
                levelFrom(first, rate / 10), levelFrom(first + 5 * rate / 2, rate / 2));
    // A start at full level would be within a few dB of the steady level. On a loaded machine the
    // server may skip the rise's first, quietest moments, so the margin is 20 dB rather than the
    // 45 to 50 dB an idle machine measures.
    EXPECT_LT(levelFrom(first, rate / 10), steady - 20.0) << "the first 100 ms of sound";
    EXPECT_NEAR(levelFrom(first + 5 * rate / 2, rate / 2), steady, 1.0) << "after 2.5 s";
}

TEST_F(GentleStart, TheStartupMixRisesFromSilenceOverTwoSeconds) {
    std::ofstream(folder / "settings.ini") << kWhite;
    testsupport::SourceRecorder monitor(server.address(), server.monitorSourceName(),
                                        server.sampleRate());
    ASSERT_TRUE(monitor.connected());
    auto running =
        testsupport::ChildProcess::spawn({program(), "--headless"}, environment(), root / "log");
    ASSERT_TRUE(running);
    // The monitor keeps what it hears from its connection on.
    const std::vector<float> heard = monitor.record(7s);
    ::kill(running->pid(), SIGTERM);
    EXPECT_EQ(running->waitForExit(10s), 0) << fileContent(root / "log");
    expectGentleRise(heard, server.sampleRate());
}

// As at login, before the sound server is up: the window plays once the server does, rising.
TEST_F(GentleStart, AWindowStartedBeforeItsSoundServerPlaysOnceTheServerDoes) {
    std::ofstream(folder / "settings.ini") << kWhite;
    server.stop();
    auto running = testsupport::ChildProcess::spawn({program()}, environment(), root / "log");
    ASSERT_TRUE(running);
    // Refused at once, it tells the user in a message box that waits for a click while the
    // sound comes; a moment later the server starts.
    std::this_thread::sleep_for(2s);
    ASSERT_TRUE(server.start()) << server.error();
    testsupport::SourceRecorder monitor(server.address(), server.monitorSourceName(),
                                        server.sampleRate());
    ASSERT_TRUE(monitor.connected());
    const std::vector<float> heard = monitor.record(7s);
    ::kill(running->pid(), SIGKILL);
    running->waitForExit(10s);
    expectGentleRise(heard, server.sampleRate());
}

} // namespace
} // namespace calmfield
