#include "ending/ProgramEnding.h"

#include <QApplication>
#include <QTimer>

namespace calmfield::ending {
namespace {

// How often to look again while a dialog waits for the user.
constexpr int kRecheckMilliseconds = 100;

void endWhenNoDialogIsOpen(std::function<void()> end, int delay) {
    QTimer::singleShot(delay, qApp, [end = std::move(end)]() mutable {
        if (QApplication::activeModalWidget() != nullptr)
            endWhenNoDialogIsOpen(std::move(end), kRecheckMilliseconds);
        else
            end();
    });
}

} // namespace

void endProgramOnceNoDialogIsOpen(std::function<void()> end) {
    endWhenNoDialogIsOpen(std::move(end), 0);
}

} // namespace calmfield::ending
