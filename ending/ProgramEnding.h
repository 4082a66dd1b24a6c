#pragma once

#include <QCoreApplication>

#include <functional>

namespace calmfield::ending {

// Ends the program, with `end`, once no modal dialog is open any more. The window whose closing
// ends the program may still be telling the user something as it closes (that its settings could
// not be saved); ending at once would close that message before it could be read.
void endProgramOnceNoDialogIsOpen(std::function<void()> end = [] { QCoreApplication::exit(0); });

} // namespace calmfield::ending
