#include "ending/SignalDeadline.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace calmfield::ending {
namespace {

// Where start() writes: the pipe of the one SignalDeadline, or -1 while there is none.
volatile std::sig_atomic_t deadlinePipe = -1;

// Written when the program ends by itself, where a signal's number would be.
constexpr unsigned char kProgramEnded = 0;

// The next byte from `descriptor`, waiting at most `timeoutMilliseconds` (for ever when
// negative); -1 when none came in time, kProgramEnded once the writing end is closed.
int nextByte(int descriptor, int timeoutMilliseconds) {
    pollfd waiting{descriptor, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&waiting, 1, timeoutMilliseconds);
        if (ready < 0 && errno == EINTR)
            continue; // a signal of the program's own may land here; the deadline stays as it was
        if (ready <= 0)
            return -1;
        unsigned char byte = kProgramEnded;
        const ssize_t read = ::read(descriptor, &byte, 1);
        if (read >= 0)
            return byte;
    }
}

[[noreturn]] void endBy(int signalNumber) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
    sigset_t only{};
    ::sigemptyset(&only);
    ::sigaddset(&only, signalNumber);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signalNumber);
    ::_exit(128 + signalNumber);
}

} // namespace

SignalDeadline::SignalDeadline() {
    int ends[2];
    if (deadlinePipe != -1 || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd_ = ends[0];
    deadlinePipe = ends[1];
    watcher_ = std::thread([this] { watch(); });
}

SignalDeadline::~SignalDeadline() {
    if (readEnd_ == -1)
        return;
    const int writeEnd = deadlinePipe;
    deadlinePipe = -1;
    // A full pipe already holds a byte that wakes the watcher; it then finds the pipe closed.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &kProgramEnded, 1);
    ::close(writeEnd);
    watcher_.join();
    ::close(readEnd_);
}

void SignalDeadline::start(int signalNumber) {
    const int writeEnd = deadlinePipe;
    if (writeEnd == -1)
        return;
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

void SignalDeadline::watch() {
    const int signalNumber = nextByte(readEnd_, -1);
    if (signalNumber <= 0)
        return;
    // Further signals change nothing: the first one's deadline holds.
    const auto deadline = std::chrono::steady_clock::now() + kGrace;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            endBy(signalNumber);
        const int next = nextByte(readEnd_, static_cast<int>(left.count()));
        if (next == -1)
            endBy(signalNumber);
        if (next == kProgramEnded)
            return;
    }
}

} // namespace calmfield::ending
