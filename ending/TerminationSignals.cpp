#include "ending/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace calmfield::ending {
namespace {

// Where the handler writes: the pipe of the one TerminationSignals, or -1 while there is none.
volatile std::sig_atomic_t handlerPipe = -1;

// Runs in whatever the process was doing, so it only writes the signal's number to the pipes. A
// full pipe drops it: the event loop has not read the ones before it yet, and one is enough.
void noteSignal(int number) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(handlerPipe, &byte, 1);
    errno = savedErrno;
    SignalDeadline::start(number);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int ends[2];
    if (handlerPipe != -1 || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    handlerPipe = writeEnd_;

    notifier_ = std::make_unique<QSocketNotifier>(readEnd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this,
            &TerminationSignals::readPendingSignals);
    deadline_ = std::make_unique<SignalDeadline>();

    struct sigaction action {};
    action.sa_handler = &noteSignal;
    action.sa_flags = SA_RESTART;
    ::sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        // One the program was started ignoring, as under nohup or in the background of a script,
        // stays ignored.
        ::sigaction(kSignals[i], nullptr, &previous_[i]);
        if (previous_[i].sa_handler != SIG_IGN)
            ::sigaction(kSignals[i], &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    if (writeEnd_ == -1)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &previous_[i], nullptr);
    handlerPipe = -1;
    deadline_.reset();
    notifier_.reset();
    ::close(readEnd_);
    ::close(writeEnd_);
}

void TerminationSignals::readPendingSignals() {
    unsigned char numbers[16];
    ssize_t count = 0;
    while ((count = ::read(readEnd_, numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit received(numbers[i]);
    }
}

} // namespace calmfield::ending
