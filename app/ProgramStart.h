#pragma once

#include "app/NoiseSession.h"
#include "app/SingleInstance.h"

#include <QDBusConnection>

#include <chrono>
#include <optional>

namespace calmfield::app {

class MediaControls;
class SleepAndWake;
struct CommandLine;

// Names the application object, whichever kind it is: the user's settings folder
// (~/.config/calmfield), the version and the menu entry the program belongs to.
void nameTheApplication();

// Claims the program's place as the one running copy for this user, as a copy of `kind`. The
// exit status when this start ends here, having handed its request to the copy already running
// and told the user what it found there.
std::optional<int> claimSingleInstance(std::optional<SingleInstance>& instance,
                                       const CommandLine& commandLine);

// Whether a window system is there to show windows on.
bool windowSystemFound();

// Where this program finds its sounds and keeps its settings. Needs the application object.
SessionFolders foldersOfThisProgram();

// Puts the media controls on the session bus where one runs; false when none does, or the name
// is taken.
bool offerMediaControls(MediaControls& controls);

} // namespace calmfield::app

namespace calmfield::app {

// The session bus where one already runs, as the media controls reach it.
std::optional<QDBusConnection> runningSessionBus();

// Lets `sleepAndWake` hear from logind once the system bus is reached, which happens off this
// thread; without a system bus nothing happens.
void reachSystemBus(SleepAndWake& sleepAndWake);

} // namespace calmfield::app
