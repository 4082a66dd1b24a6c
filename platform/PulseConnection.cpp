#include "platform/PulseConnection.h"

namespace calmfield::platform::pulse {

PulseConnection::Lock::Lock(const PulseConnection& connection) : loop_(connection.loop_) {
    if (loop_ != nullptr)
        pa_threaded_mainloop_lock(loop_);
}

PulseConnection::Lock::~Lock() {
    if (loop_ != nullptr)
        pa_threaded_mainloop_unlock(loop_);
}

PulseConnection::PulseConnection(Client& client, std::string serverAddress,
                                 std::string applicationName, const char* mediaRole,
                                 const char* threadName)
    : client_(client), serverAddress_(std::move(serverAddress)),
      applicationName_(std::move(applicationName)), mediaRole_(mediaRole), threadName_(threadName) {
}

PulseConnection::~PulseConnection() {
    close();
}

bool PulseConnection::open(std::chrono::milliseconds timeout) {
    close();
    loop_ = startMainLoop(threadName_);
    if (loop_ == nullptr)
        return false;

    pa_threaded_mainloop_lock(loop_);
    state_ = State::opening;
    if (!connect() && state_ == State::opening)
        state_ = State::openFailed;
    waitUntil(loop_, timeout, [this] { return state_ != State::opening; });
    const bool opened = state_ == State::ready || state_ == State::lost;
    pa_threaded_mainloop_unlock(loop_);

    if (!opened)
        close();
    return opened;
}

void PulseConnection::close() {
    if (loop_ == nullptr)
        return;
    pa_threaded_mainloop_lock(loop_);
    state_ = State::closed;
    retryTimer_.cancel(loop_);
    client_.releaseContext();
    releaseContext(context_);
    context_ = nullptr;
    pa_threaded_mainloop_unlock(loop_);
    endMainLoop(loop_);
    loop_ = nullptr;
}

void PulseConnection::established() {
    if (state_ == State::opening || state_ == State::lost)
        state_ = State::ready;
    pa_threaded_mainloop_signal(loop_, 0);
}

// Opening gives up; an open connection is made again later.
void PulseConnection::fail() {
    client_.connectionLost();
    if (state_ == State::opening) {
        state_ = State::openFailed;
        pa_threaded_mainloop_signal(loop_, 0);
    } else if (state_ == State::ready || state_ == State::lost) {
        state_ = State::lost;
        pa_threaded_mainloop_signal(loop_, 0);
        retryTimer_.schedule(loop_, kRetryInterval);
    }
}

void PulseConnection::contextStateChanged(pa_context* context, void* connection) {
    auto* self = static_cast<PulseConnection*>(connection);
    if (context != self->context_)
        return;
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        self->client_.contextReady(context);
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        self->fail();
        break;
    default:
        break;
    }
}

bool PulseConnection::connect() {
    context_ = connectContext(loop_, serverAddress_, applicationName_, mediaRole_,
                              contextStateChanged, this);
    return context_ != nullptr;
}

// Runs from the retry timer, outside every libpulse callback, so the old context can go.
void PulseConnection::retryNow() {
    if (state_ != State::lost)
        return;
    client_.releaseContext();
    releaseContext(context_);
    context_ = nullptr;
    if (!connect())
        retryTimer_.schedule(loop_, kRetryInterval);
}

} // namespace calmfield::platform::pulse
