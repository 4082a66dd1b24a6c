// What leaving the recorder window open costs: the program's processor time with the window open
// and idle, against the same time without it. Its polls ask the capture element for its mode
// every 500 ms and for its size every 19 ms.
//
// Usage: bench_recorder_idle [seconds for each half, default 60]
// Runs on the display Qt is given (QT_QPA_PLATFORM; offscreen when there is none).

#include "bench/ProcessorTime.h"
#include "platform/PulseCaptureDevice.h"
#include "recorder/CommandInterpreter.h"
#include "recorder/windows/RecorderWindow.h"
#include "tests/support/PrivatePulseServer.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace calmfield;
using bench::ownProcessorTime;
using bench::Seconds;

constexpr double kAllowedPercent = 0.3;

// Runs the event loop for `seconds`; gives the share of one core the program took meanwhile.
double percentWhileRunning(double seconds) {
    const Seconds before = ownProcessorTime();
    const auto wallBefore = std::chrono::steady_clock::now();
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    const Seconds wall = std::chrono::steady_clock::now() - wallBefore;
    return 100.0 * (ownProcessorTime() - before) / wall;
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
        [&] { return std::make_unique<platform::PulseCaptureDevice>(server.address()); }, ".");

    const double without = percentWhileRunning(seconds);
    auto* window = new recorder::RecorderWindow(
        commands, [] {}, [] {});
    window->show();
    const double with = percentWhileRunning(seconds);
    const std::string mode = commands.send("status capture mode").reply;
    delete window;
    if (mode != "stopped") {
        std::fprintf(stderr, "The recorder did not open: its mode is \"%s\".\n", mode.c_str());
        return 2;
    }

    std::printf("The recorder window left open for %.0f s on the \"%s\" platform:\n", seconds,
                qPrintable(QApplication::platformName()));
    std::printf("  program without the window  %6.3f %% of one core\n", without);
    std::printf("  program with the window     %6.3f %% of one core\n", with);
    std::printf("  the window's share          %6.3f %% of one core (target: at most %.1f %%)\n",
                with - without, kAllowedPercent);
    return with - without <= kAllowedPercent ? 0 : 1;
}
