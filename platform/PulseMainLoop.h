#pragma once

#include <pulse/pulseaudio.h>

#include <chrono>
#include <string>

// What the program's PulseAudio clients share about libpulse's threaded main loop.
namespace calmfield::platform::pulse {

// Starts a threaded main loop under `threadName`; null when it could not be started.
pa_threaded_mainloop* startMainLoop(const char* threadName);

// Stops and frees a loop that startMainLoop gave; null is ignored.
void endMainLoop(pa_threaded_mainloop* loop);

// With the loop's lock held: a context for the program, connecting to the server at
// `serverAddress` (the user's own when empty) and reporting its state to `onStateChange`. Never
// starts a server: that could take longer than the caller is willing to wait. Null when the
// connection could not even be begun.
pa_context* connectContext(pa_threaded_mainloop* loop, const std::string& serverAddress,
                           const std::string& applicationName, const char* mediaRole,
                           pa_context_notify_cb_t onStateChange, void* userdata);

// With the loop's lock held: disconnects and frees a context; null is ignored.
void releaseContext(pa_context* context);

// A time event of the loop's, `delay` from now. The loop turns the wall-clock time into its own
// monotonic clock when the event is made, so later clock changes do not move it.
pa_time_event* newTimer(pa_mainloop_api* api, std::chrono::milliseconds delay,
                        pa_time_event_cb_t callback, void* userdata);

// A one-shot timer on a loop for trying a lost connection again: it runs `fire(owner)` once,
// `delay` after schedule(), outside every other libpulse callback, so the owner may free its old
// context there. Used only with the loop's lock held.
class RetryTimer {
  public:
    RetryTimer(void (*fire)(void* owner), void* owner) : fire_(fire), owner_(owner) {}
    RetryTimer(const RetryTimer&) = delete;
    RetryTimer& operator=(const RetryTimer&) = delete;

    // Arms the timer unless it is armed already.
    void schedule(pa_threaded_mainloop* loop, std::chrono::milliseconds delay);
    void cancel(pa_threaded_mainloop* loop);

  private:
    static void fired(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* timer);

    void (*const fire_)(void*);
    void* const owner_;
    pa_time_event* event_ = nullptr;
};

struct Deadline {
    pa_threaded_mainloop* loop;
    bool passed = false;
};
void deadlinePassed(pa_mainloop_api*, pa_time_event*, const timeval*, void* deadline);

// With the loop's lock held: waits until `done()` holds, however the loop's callbacks bring that
// about (they signal the loop), or until `timeout` has passed. Gives `done()`.
template <typename Done>
bool waitUntil(pa_threaded_mainloop* loop, std::chrono::milliseconds timeout, Done done) {
    Deadline deadline{loop};
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
    pa_time_event* timer = newTimer(api, timeout, deadlinePassed, &deadline);
    while (!done() && !deadline.passed)
        pa_threaded_mainloop_wait(loop);
    api->time_free(timer);
    return done();
}

} // namespace calmfield::platform::pulse
