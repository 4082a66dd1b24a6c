// What leaving the recorder window open costs: the program's processor time with the window open
// and idle, against the same time without it, and how often the user-interface thread woke up
// meanwhile. An idle window polls nothing: its readouts are refreshed when the capture element
// changes state.
//
// Usage: bench_recorder_idle [seconds for each half, default 60]
// Runs on the display Qt is given (QT_QPA_PLATFORM; offscreen when there is none).

#include "bench/ProcessorTime.h"
#include "recorder/CommandInterpreter.h"
#include "recorder/windows/RecorderWindow.h"
#include "sound/PulseCaptureDevice.h"
#include "tests/support/PrivatePulseServer.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace calmfield;
using bench::ownProcessorTime;
using bench::Seconds;

constexpr double kAllowedPercent = 0.3;
constexpr double kAllowedWakeUpsPerSecond = 1.0;

struct Cost {
    double percent;          // of one core, the whole program
    double wakeUpsPerSecond; // of the user-interface thread
};

long threadWakeUps() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

// Runs the event loop for `seconds`; gives what the program cost meanwhile.
Cost costWhileRunning(double seconds) {
    const Seconds before = ownProcessorTime();
    const long wakeUpsBefore = threadWakeUps();
    const auto wallBefore = std::chrono::steady_clock::now();
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    const Seconds wall = std::chrono::steady_clock::now() - wallBefore;
    return {100.0 * (ownProcessorTime() - before) / wall,
            static_cast<double>(threadWakeUps() - wakeUpsBefore) / wall.count()};
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    if (seconds <= 0.0) {
        std::fprintf(stderr, "usage: %s [seconds for each half]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testsupport::PrivatePulseServer server;
    if (!server.start(44100)) {
        std::fprintf(stderr, "The test sound server did not start: %s\n", server.error().c_str());
        return 2;
    }
    recorder::CommandInterpreter commands(
        [&] { return std::make_unique<sound::PulseCaptureDevice>(server.address()); }, ".");

    const Cost without = costWhileRunning(seconds);
    auto* window = new recorder::RecorderWindow(
        commands, [] {}, [] {});
    window->show();
    const Cost with = costWhileRunning(seconds);
    const std::string mode = commands.send("status capture mode").reply;
    delete window;
    if (mode != "stopped") {
        std::fprintf(stderr, "The recorder did not open: its mode is \"%s\".\n", mode.c_str());
        return 2;
    }

    std::printf("The recorder window left open for %.0f s on the \"%s\" platform:\n", seconds,
                qPrintable(QApplication::platformName()));
    std::printf("  program without the window  %6.3f %% of one core, %5.2f wake-ups a second\n",
                without.percent, without.wakeUpsPerSecond);
    std::printf("  program with the window     %6.3f %% of one core, %5.2f wake-ups a second\n",
                with.percent, with.wakeUpsPerSecond);
    std::printf("  the window's share          %6.3f %% of one core (target: at most %.1f %%)\n",
                with.percent - without.percent, kAllowedPercent);
    std::printf("  (wake-ups: those of the user-interface thread; target: at most %.0f a second)\n",
                kAllowedWakeUpsPerSecond);
    return with.percent - without.percent <= kAllowedPercent &&
                   with.wakeUpsPerSecond <= kAllowedWakeUpsPerSecond
               ? 0
               : 1;
}
