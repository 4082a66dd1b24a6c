#pragma once

#include "persistence/Mix.h"
#include "routines/RoutineTimes.h"
#include "routines/WallClockAlarm.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimeZone>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace calmfield::session {

class MessageSink;
class NoiseSession;

// The wall clock routines follow: the moment now, the local time zone, and how alarm timers are
// made. The system's own, or a test's.
struct RoutineClock {
    std::function<qint64()> now;
    std::function<QTimeZone()> zone;
    routines::TimerMaker makeTimer = routines::makeTimer;

    static RoutineClock system();
};

// Plays the user's routines: at a routine's start its mix is loaded and the sound rises from
// silence over its rise, through the master gain's routine part, or, when something already
// plays, each colour glides to its new level over the rise; before its end it falls over its fall,
// and at its end the player pauses. A start missed while the computer slept or the program
// was not running is joined, at the level its rise would have reached, if its end has not passed.
// Pausing, stopping or unticking the last colour ends the occurrence under way.
//
// One alarm on the real-time clock is armed for the next moment that matters, and nothing else
// runs while it waits; it is worked out again when the clock is set, the time zone changes, the
// computer wakes or the routines file changes on disk.
class RoutineRunner : public QObject {
    Q_OBJECT

  public:
    // A late start reaches its level over this long, from silence.
    static constexpr std::chrono::seconds kJoinRise{2};

    RoutineRunner(NoiseSession& session, const std::filesystem::path& userFolder,
                  MessageSink& messages, RoutineClock clock = RoutineClock::system(),
                  QObject* parent = nullptr);
    ~RoutineRunner() override;

    // Reads the routines file and joins or waits for the next routine; once the sound has started.
    void start();
    // Works the next moment out again: after the computer wakes, or the time zone changes.
    void recheck();

    const std::vector<routines::Routine>& routines() const { return routines_; }
    bool anyOn() const;
    std::optional<routines::RoutineEvent> nextEvent() const { return next_; }
    bool wakesComputer() const { return alarm_.wakesComputer(); }

  signals:
    // The routines or their next event may have changed, or the day has turned: views tell them
    // afresh.
    void changed();

  private:
    void readFile();
    void watchFile();
    void act();
    void begin(const routines::Occurrence& occurrence, qint64 now);
    // Rises from silence over what is left of the rise, or joins a rise begun a while ago.
    void riseFromSilence(std::chrono::milliseconds rise, std::chrono::milliseconds late);
    // Each colour glides from how `before` played it to how the mix now plays it over `length`; a
    // colour whose rate changes falls silent and rises again at its new rate.
    void takeOver(const persistence::Mix& before, std::chrono::milliseconds length);
    void beginFall(qint64 now);
    void finish();
    void endedByUser();
    // Brings the routine part back to full once a pause has silenced the sound.
    void restoreAfterPause();
    void arm(qint64 now);

    NoiseSession& session_;
    MessageSink& messages_;
    RoutineClock clock_;
    QString path_;
    routines::WallClockAlarm alarm_;
    QFileSystemWatcher watcher_;
    // The local time zone is the link /etc/localtime, replaced whole when the zone is set.
    QFileSystemWatcher zoneWatcher_;
    QTimer joinRise_;
    std::vector<routines::Routine> routines_;
    std::optional<routines::Occurrence> playing_;
    bool falling_ = false;
    // Occurrences that are over before their end: ended by the user, or their mix not loaded.
    std::set<std::pair<std::size_t, qint64>> over_;
    std::optional<routines::RoutineEvent> next_;
    std::set<QString> told_;
    bool acting_ = false;
    bool started_ = false;
};

} // namespace calmfield::session
