#pragma once

#include <pulse/pulseaudio.h>

#include <chrono>

// Timers on libpulse's threaded main loop.
namespace calmfield::sound::pulse {

// A time event of the loop's, `delay` from now. The loop turns the wall-clock time into its own
// monotonic clock when the event is made, so later clock changes do not move it.
pa_time_event* newTimer(pa_mainloop_api* api, std::chrono::milliseconds delay,
                        pa_time_event_cb_t callback, void* userdata);

// A one-shot timer on a loop for trying something again: it runs `fire(owner)` once, `delay` after
// schedule(), outside every other libpulse callback, so the owner may free an old context there.
// Used only with the loop's lock held.
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

} // namespace calmfield::sound::pulse
