#include "sound/PulseMainLoop.h"

#include <algorithm>

namespace calmfield::sound::pulse {

pa_time_event* newTimer(pa_mainloop_api* api, std::chrono::milliseconds delay,
                        pa_time_event_cb_t callback, void* userdata) {
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, static_cast<pa_usec_t>(std::max<std::int64_t>(0, delay.count())) *
                              PA_USEC_PER_MSEC);
    return api->time_new(api, &when, callback, userdata);
}

void RetryTimer::schedule(pa_threaded_mainloop* loop, std::chrono::milliseconds delay) {
    if (event_ == nullptr)
        event_ = newTimer(pa_threaded_mainloop_get_api(loop), delay, fired, this);
}

void RetryTimer::cancel(pa_threaded_mainloop* loop) {
    if (event_ != nullptr)
        pa_threaded_mainloop_get_api(loop)->time_free(event_);
    event_ = nullptr;
}

void RetryTimer::fired(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* timer) {
    auto* self = static_cast<RetryTimer*>(timer);
    api->time_free(event);
    self->event_ = nullptr;
    self->fire_(self->owner_);
}

} // namespace calmfield::sound::pulse
