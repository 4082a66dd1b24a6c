#pragma once

#include "ending/SignalDeadline.h"

#include <QObject>
#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <memory>

namespace calmfield::ending {

// Turns the signals that ask a program to end (SIGTERM, SIGHUP when the terminal or session goes,
// SIGINT from Ctrl+C) into received(), emitted from the event loop of the thread that made this
// object, so that the program can end as it does when the user chooses Exit; a program that has not
// ended within SignalDeadline::kGrace of a signal is ended by it. While it exists,
// these signals no longer end the process by themselves, except that those the program was started
// ignoring stay ignored. At most one may exist at a time.
class TerminationSignals : public QObject {
    Q_OBJECT

  public:
    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};

    explicit TerminationSignals(QObject* parent = nullptr);
    // Gives the signals back to the handlers they had before.
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  signals:
    void received(int signalNumber);

  private:
    void readPendingSignals();

    int readEnd_ = -1;
    int writeEnd_ = -1;
    std::array<struct sigaction, kSignals.size()> previous_{};
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<SignalDeadline> deadline_;
};

} // namespace calmfield::ending
