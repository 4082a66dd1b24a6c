#pragma once

#include <QObject>

#include <functional>

namespace calmfield::ending {

// Ends the program when something outside it asks, the desktop session ending or a termination
// signal, the way Exit does: every window closes as the user would close it, so the main window
// takes its icon out of the tray, stops the sound and saves its settings, and the program ends as
// its last window closes. Nobody may be there to answer: `stopWaitingForTheUser` runs first, and
// the dialogs open at the time are dismissed.
class TerminationRequests : public QObject {
    Q_OBJECT

  public:
    // `closeEveryWindow` closes each window as the user would, hidden ones too.
    TerminationRequests(std::function<void()> closeEveryWindow,
                        std::function<void()> stopWaitingForTheUser);

    // Runs the shutdown. A further request finds nothing left to close.
    void request();

  private:
    std::function<void()> closeEveryWindow_;
    std::function<void()> stopWaitingForTheUser_;
};

} // namespace calmfield::ending
