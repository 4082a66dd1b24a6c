#pragma once

#include "player/SleepTimer.h"

#include <QMenu>

#include <chrono>

namespace calmfield::shell {

// "Sleep Timer": "Off", then the durations. The item of the running timer's duration is checked,
// and "Off" while none runs. A running timer is shown first, greyed, with the time left.
class SleepMenu : public QMenu {
    Q_OBJECT

  public:
    // Follows `timer` wherever it is started: the item of its duration is checked or, when none
    // has it, no item.
    SleepMenu(player::SleepTimer& timer, QWidget* parent = nullptr);

  private:
    void chosen(QAction* item);
    // Checks the item of `duration`, zero meaning "Off", and unchecks the others, the one just
    // chosen included when it is not that one.
    void check(std::chrono::milliseconds duration);

    // Shows the time left in the first item while the timer runs, and no such item otherwise.
    void showTimeLeft();

    player::SleepTimer& timer_;
    QAction* timeLeft_;
};

} // namespace calmfield::shell
