#pragma once

#include <chrono>
#include <thread>

namespace calmfield::ending {

// Ends the process by a termination signal that the program has taken over, should the program
// not have ended by itself within kGrace of it: a load that does not return, or an event loop that
// cannot run, must not keep a logout, `systemctl stop` or `kill` waiting. Whatever the program had
// yet to do, such as saving its settings, is then left undone. At most one may exist at a time.
class SignalDeadline {
  public:
    static constexpr std::chrono::milliseconds kGrace{1500};

    SignalDeadline();
    // The program has ended by itself: nothing is ended any more.
    ~SignalDeadline();
    SignalDeadline(const SignalDeadline&) = delete;
    SignalDeadline& operator=(const SignalDeadline&) = delete;

    // Starts the countdown for `signalNumber`; safe to call from a signal handler, and does
    // nothing while no SignalDeadline exists.
    static void start(int signalNumber);

  private:
    void watch();

    int readEnd_ = -1;
    std::thread watcher_;
};

} // namespace calmfield::ending
