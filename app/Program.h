#pragma once

#include "session/KeepAwake.h"
#include "session/MediaControls.h"
#include "session/NoiseSession.h"
#include "session/RoutineRunner.h"
#include "session/SystemSuspend.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace calmfield::ending {
class TerminationSignals;
}
namespace calmfield::instance {
class SingleInstance;
}

namespace calmfield::app {

// What a run is made of besides its front end, and what the front end does that the program
// asks of it. The real sound devices and buses for the program, doubles for a test.
struct ProgramParts {
    session::SoundDevices devices;
    session::SessionFolders folders;
    session::MessageSink& messages;
    // Shows the program for a later start, with the launcher's activation token; null for a run
    // without windows.
    std::function<void(const QByteArray& activationToken)> bringForward{};
    // What the media controls' Raise and Quit do.
    session::ProgramActions actions{};
    // Ends the run when asked from outside it: a termination signal or the sleep timer's end.
    std::function<void()> endRun{};
    // For the media controls and keeping the computer awake; none when no session bus runs.
    std::optional<QDBusConnection> sessionBus{};
    player::SleepClock sleepClock = player::timeSinceBoot;
    session::RoutineClock routineClock = session::RoutineClock::system();
};

// One run of the program, assembled once for the window run, the headless run and the tests: the
// session, and around it the media controls, keeping the computer awake, fading out for the
// computer's suspend, the sleep timer, later starts and the termination signals.
class Program : public QObject {
    Q_OBJECT

  public:
    explicit Program(ProgramParts parts);
    ~Program() override;

    session::NoiseSession& session() { return session_; }
    session::KeepAwake& keepAwake() { return keepAwake_; }
    session::MediaControls& mediaControls() { return mediaControls_; }
    session::SystemSuspend& systemSuspend() { return suspend_; }
    session::RoutineRunner& routines() { return routines_; }
    // The wall clock the routines follow.
    const session::RoutineClock& routineClock() const { return routineClock_; }

    // Puts the media controls on the session bus; false when none runs or the name is taken.
    bool offerMediaControls();
    // The computer's suspend is heard from once the system bus is reached, off this thread.
    void reachSystemBus();
    // Loads the mix the command line names, telling the user when it cannot.
    void openMix(const QString& path);
    // Plays the user's routines from now on, joining one under way; once the sound has started.
    void startRoutines() { routines_.start(); }
    // Runs the sleep timer for `duration` from now; its end ends the run, or pauses while a
    // routine is on, so that the next one still starts.
    void startSleepTimer(std::chrono::milliseconds duration);
    // Takes later starts' requests from `instance`: sleep timers, mixes to open, and showing the
    // program. False when it cannot listen for them.
    bool answerLaterStarts(instance::SingleInstance& instance);
    // A termination signal ends the run from now on; until then it ends the program at once.
    void takeTerminationSignals();

  private:
    session::MessageSink& messages_;
    std::function<void(const QByteArray&)> bringForward_;
    std::function<void()> endRun_;
    std::optional<QDBusConnection> sessionBus_;
    session::NoiseSession session_;
    session::MediaControls mediaControls_;
    session::KeepAwake keepAwake_;
    session::SystemSuspend suspend_;
    session::RoutineClock routineClock_;
    session::RoutineRunner routines_;
    std::unique_ptr<ending::TerminationSignals> terminationSignals_;
};

} // namespace calmfield::app
