// A fixed-size window on a private X server, as a window manager finds it.

#include "tests/support/ChildProcess.h"
#include "widgets/FixedSizeWindowHints.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <thread>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Xvfb picks a free display and writes its number to its output; empty if none came.
std::string displayNumberIn(const fs::path& log) {
    for (auto waited = 0ms; waited < 10s; waited += 50ms) {
        std::ifstream output(log);
        std::smatch number;
        for (std::string line; std::getline(output, line);) {
            if (std::regex_match(line, number, std::regex("([0-9]+)")))
                return number[1];
        }
        std::this_thread::sleep_for(50ms);
    }
    return {};
}

TEST(FixedSizeWindow, OffersTheWindowManagerMovingAndClosingButNoResizing) {
    const fs::path log = fs::temp_directory_path() / ("calmfield-xvfb-" + std::to_string(getpid()));
    fs::remove(log);
    auto server = testsupport::ChildProcess::spawn(
        {"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"},
        testsupport::currentEnvironment(), log);
    ASSERT_TRUE(server) << "Xvfb could not be run (is it installed?)";
    const std::string display = displayNumberIn(log);
    ASSERT_FALSE(display.empty()) << "Xvfb gave no display";
    fs::remove(log);
    qputenv("DISPLAY", QByteArray::fromStdString(":" + display));
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "window_hints_tests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    QWidget window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint);
    window.setFixedSize(200, 100);
    new widgets::FixedSizeWindowHints(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto* x11 = application.nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    const auto hints =
        widgets::motifHints(x11->connection(), static_cast<std::uint32_t>(window.winId()));
    ASSERT_TRUE(hints);
    const auto [flags, functions, decorations, inputMode, status] = *hints;
    ASSERT_EQ(flags & 3U, 3U) << "functions and decorations are given";
    EXPECT_EQ(functions, 0x24U) << "move and close only";
    EXPECT_EQ(decorations & 0x45U, 0U) << "no resize handles, no maximise button";
    EXPECT_NE(decorations & 0x8U, 0U) << "a title bar";
}

} // namespace
} // namespace calmfield
