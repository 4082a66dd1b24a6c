#pragma once

#include "rendercommand/RenderRequest.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>

namespace calmfield::app {

// What the command line asks of the program.
struct CommandLine {
    // Whether the program goes on to open its windows.
    bool run = true;
    // Printed before the program ends without running: on standard output for --help and
    // --version, on standard error for a command line it does not understand.
    QString output;
    QString errors;
    int exitStatus = 0;
    // The sleep timer's duration, when --sleep gives one.
    std::optional<std::chrono::seconds> sleep;
    // Whether the program plays without any window (--headless), and the configuration file it
    // then plays (--mix) instead of the startup mix; empty for the startup mix.
    bool headless = false;
    QString mixFile;
    // The configuration file named on its own, to be loaded once the window has started, or by
    // the copy already running; empty for none. With --headless it is taken as --mix.
    QString openFile;
    // Whether the program prints the routines and their next event instead of running.
    bool listRoutines = false;
    // Set when the program is to render the mix to a file instead of running.
    std::optional<rendercommand::RenderRequest> render;
};

// Reads the program's arguments, the program's name first. Needs no application object, so that
// --help and --version answer without a window system.
CommandLine readCommandLine(const QStringList& arguments);

} // namespace calmfield::app
