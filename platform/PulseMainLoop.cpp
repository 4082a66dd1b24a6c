#include "platform/PulseMainLoop.h"

#include <algorithm>

namespace calmfield::platform::pulse {

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

void endMainLoop(pa_threaded_mainloop* loop) {
    if (loop == nullptr)
        return;
    pa_threaded_mainloop_stop(loop);
    pa_threaded_mainloop_free(loop);
}

pa_time_event* newTimer(pa_mainloop_api* api, std::chrono::milliseconds delay,
                        pa_time_event_cb_t callback, void* userdata) {
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, static_cast<pa_usec_t>(std::max<std::int64_t>(0, delay.count())) *
                              PA_USEC_PER_MSEC);
    return api->time_new(api, &when, callback, userdata);
}

void deadlinePassed(pa_mainloop_api*, pa_time_event*, const timeval*, void* userdata) {
    auto* deadline = static_cast<Deadline*>(userdata);
    deadline->passed = true;
    pa_threaded_mainloop_signal(deadline->loop, 0);
}

} // namespace calmfield::platform::pulse
