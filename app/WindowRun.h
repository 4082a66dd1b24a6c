#pragma once

#include "app/Program.h"
#include "app/ProgramWindows.h"
#include "desktop/FileDialog.h"
#include "desktop/UrlOpener.h"
#include "ending/TerminationRequests.h"
#include "instance/TokenActivation.h"

#include <QPointer>

#include <functional>
#include <optional>

namespace calmfield::shell {
class MainWindow;
}

namespace calmfield::app {

struct CommandLine;

// What the run with windows reaches the world through: the desktop's for the program, doubles
// for a test.
struct WindowRunParts {
    session::SoundDevices devices;
    session::SessionFolders folders;
    session::MessageSink& messages;
    desktop::UrlOpener openUrl{};
    // Whether the desktop offers a tray for the program's icon.
    std::function<bool()> trayAvailable{};
    // Where configuration files are chosen; null for the desktop's own dialog.
    desktop::FileDialog* fileDialog = nullptr;
    // False where a minimised window may not be found again (on Wayland).
    bool minimisedWindowsStayReachable = true;
    // Without it the program has no sound recorder.
    std::optional<recorder::RecorderServices> recorder{};
    // Ends the program once its last window has closed.
    std::function<void()> endProgram = [] { QCoreApplication::exit(0); };
    // Lets messages stop waiting for a user who is not there, as the program ends from outside.
    std::function<void()> stopWaitingForTheUser = [] {};
    std::optional<QDBusConnection> sessionBus{};
    player::SleepClock sleepClock = player::timeSinceBoot;
    session::RoutineClock routineClock = session::RoutineClock::system();
};

// The program run with its windows: the program's assembly, the main window as a view of its
// session, the program's other windows, and ending from outside by closing every window as Exit
// does. The main window is deleted as it closes, and with the run at the latest.
class WindowRun {
  public:
    explicit WindowRun(WindowRunParts parts);
    // The main window, a view of the session, goes before it.
    ~WindowRun();

    // Starts the sound and shows the main window: the speakers' volume first, then the window
    // with its tray icon, then the sound device, the channels, the startup settings file and the
    // start-in-tray timer. A sound server that does not answer yet is told of once; the sound
    // plays, and the master volume reaches the speakers, once it does.
    void startUp();

    Program& program() { return program_; }
    session::NoiseSession& session() { return program_.session(); }
    ProgramWindows& windows() { return windows_; }
    ending::TerminationRequests& termination() { return termination_; }
    // Null once it has closed and been deleted.
    shell::MainWindow* mainWindow() const;

  private:
    void bringForward(const QByteArray& activationToken);

    session::MessageSink& messages_;
    ProgramWindows windows_;
    instance::TokenActivation activation_;
    ending::TerminationRequests termination_;
    Program program_;
    QPointer<shell::MainWindow> mainWindow_;
};

// Runs the program with its windows until its last window closes; `instance`, when there is one,
// answers later starts. The exit status.
int runWithWindows(int& argc, char* argv[], const CommandLine& commandLine,
                   instance::SingleInstance* instance);

// A plain start finding a copy playing without a window tells the user so, in a message box where
// it can show one.
void tellAlreadyPlayingWithoutAWindow(int& argc, char* argv[]);

} // namespace calmfield::app
