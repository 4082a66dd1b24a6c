#include "sound/PulseConnection.h"

namespace calmfield::sound::pulse {
namespace {

// Starts a threaded main loop under `threadName`; null when it could not be started.
pa_threaded_mainloop* startMainLoop(const char* threadName) {
    pa_threaded_mainloop* loop = pa_threaded_mainloop_new();
    if (loop == nullptr)
        return nullptr;
    pa_threaded_mainloop_set_name(loop, threadName);
    if (pa_threaded_mainloop_start(loop) < 0) {
        pa_threaded_mainloop_free(loop);
        return nullptr;
    }
    return loop;
}

// Stops and frees a loop that startMainLoop gave; null is ignored.
void endMainLoop(pa_threaded_mainloop* loop) {
    if (loop == nullptr)
        return;
    pa_threaded_mainloop_stop(loop);
    pa_threaded_mainloop_free(loop);
}

// With the loop's lock held: disconnects and frees a context; null is ignored.
void releaseContext(pa_context* context) {
    if (context == nullptr)
        return;
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
}

// With the loop's lock held: a context connecting to the server at `serverAddress` (the user's own
// when empty). Never starts a server: that could take longer than the caller is willing to wait.
// Null when the connection could not even be begun.
pa_context* connectContext(pa_threaded_mainloop* loop, const std::string& serverAddress,
                           const std::string& applicationName, const char* mediaRole,
                           pa_context_notify_cb_t onStateChange, void* userdata, int& error) {
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, applicationName.c_str());
    if (mediaRole != nullptr)
        pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, mediaRole);
    pa_context* context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop),
                                                       applicationName.c_str(), properties);
    pa_proplist_free(properties);
    if (context == nullptr) {
        error = PA_ERR_INTERNAL;
        return nullptr;
    }
    pa_context_set_state_callback(context, onStateChange, userdata);
    const char* server = serverAddress.empty() ? nullptr : serverAddress.c_str();
    if (pa_context_connect(context, server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        error = pa_context_errno(context);
        releaseContext(context);
        return nullptr;
    }
    return context;
}

struct Deadline {
    pa_threaded_mainloop* loop;
    bool passed = false;
};

void deadlinePassed(pa_mainloop_api*, pa_time_event*, const timeval*, void* userdata) {
    auto* deadline = static_cast<Deadline*>(userdata);
    deadline->passed = true;
    pa_threaded_mainloop_signal(deadline->loop, 0);
}

// With the loop's lock held: waits until `done()` holds, however the loop's callbacks bring that
// about (they signal the loop), or until `timeout` has passed.
template <typename Done>
void waitUntil(pa_threaded_mainloop* loop, std::chrono::milliseconds timeout, Done done) {
    Deadline deadline{loop};
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
    pa_time_event* timer = newTimer(api, timeout, deadlinePassed, &deadline);
    while (!done() && !deadline.passed)
        pa_threaded_mainloop_wait(loop);
    api->time_free(timer);
}

} // namespace

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

bool PulseConnection::open(std::chrono::milliseconds timeout, OnFailure onFailure) {
    close();
    loop_ = startMainLoop(threadName_);
    if (loop_ == nullptr) {
        openFailure_ = pa_strerror(PA_ERR_INTERNAL);
        return false;
    }

    pa_threaded_mainloop_lock(loop_);
    state_ = State::opening;
    if (!connect() && state_ == State::opening)
        state_ = State::openFailed;
    pulse::waitUntil(loop_, timeout, [this] { return state_ != State::opening; });
    const bool opened = state_ == State::ready || state_ == State::lost;
    if (!opened) {
        // A server that did not answer in time has not failed, as far as libpulse knows.
        const int error = context_ != nullptr ? pa_context_errno(context_) : connectError_;
        openFailure_ = pa_strerror(error == PA_OK ? PA_ERR_TIMEOUT : error);
    }
    if (!opened && onFailure == OnFailure::keepTrying) {
        state_ = State::lost;
        retryTimer_.schedule(loop_, kRetryInterval);
    }
    pa_threaded_mainloop_unlock(loop_);

    if (!opened && onFailure == OnFailure::close)
        close();
    return opened;
}

bool PulseConnection::waitUntil(std::chrono::milliseconds timeout,
                                const std::function<bool()>& done) {
    if (loop_ == nullptr)
        return false;
    pulse::waitUntil(loop_, timeout, done);
    return done();
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
                              contextStateChanged, this, connectError_);
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

void releaseStream(pa_stream*& stream) {
    if (stream == nullptr)
        return;
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_moved_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
}

} // namespace calmfield::sound::pulse
