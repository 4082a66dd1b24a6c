#pragma once

#include "player/SleepTimer.h"

#include <QMenu>

#include <chrono>
#include <functional>

namespace calmfield::shell {

// "Sleep Timer": "Off", then the durations. The item of the running timer's duration is checked,
// and "Off" while none runs. A running timer is shown first, greyed, with the time left.
class SleepMenu : public QMenu {
    Q_OBJECT

  public:
    // Follows `timer` wherever it is started: the item of its duration is checked or, when none
    // has it, no item. `routineOn` tells whether a routine is on, when the timer's end pauses
    // rather than ends the run.
    SleepMenu(player::SleepTimer& timer, std::function<bool()> routineOn,
              QWidget* parent = nullptr);

    // Shows the time left in the first item while the timer runs, and no such item otherwise:
    // "Sleeps in 20 min", or "Sleeps in 20 min, then pauses" while a routine is on.
    void showTimeLeft();

  private:
    void chosen(QAction* item);
    // Checks the item of `duration`, zero meaning "Off", and unchecks the others, the one just
    // chosen included when it is not that one.
    void check(std::chrono::milliseconds duration);

    player::SleepTimer& timer_;
    std::function<bool()> routineOn_;
    QAction* timeLeft_;
};

} // namespace calmfield::shell
