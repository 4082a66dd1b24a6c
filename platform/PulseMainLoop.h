#pragma once

#include <pulse/pulseaudio.h>

#include <chrono>

// What the program's PulseAudio clients share about libpulse's threaded main loop.
namespace calmfield::platform::pulse {

// Starts a threaded main loop under `threadName`; null when it could not be started.
pa_threaded_mainloop* startMainLoop(const char* threadName);

// Stops and frees a loop that startMainLoop gave; null is ignored.
void endMainLoop(pa_threaded_mainloop* loop);

// A time event of the loop's, `delay` from now. The loop turns the wall-clock time into its own
// monotonic clock when the event is made, so later clock changes do not move it.
pa_time_event* newTimer(pa_mainloop_api* api, std::chrono::milliseconds delay,
                        pa_time_event_cb_t callback, void* userdata);

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
