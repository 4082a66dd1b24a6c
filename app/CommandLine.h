#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
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
};

// Reads the program's arguments, the program's name first. Needs no application object, so that
// --help and --version answer without a window system.
CommandLine readCommandLine(const QStringList& arguments);

} // namespace calmfield::app
