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

pa_context* connectContext(pa_threaded_mainloop* loop, const std::string& serverAddress,
                           const std::string& applicationName, const char* mediaRole,
                           pa_context_notify_cb_t onStateChange, void* userdata) {
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, applicationName.c_str());
    if (mediaRole != nullptr)
        pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, mediaRole);
    pa_context* context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop),
                                                       applicationName.c_str(), properties);
    pa_proplist_free(properties);
    if (context == nullptr)
        return nullptr;
    pa_context_set_state_callback(context, onStateChange, userdata);
    const char* server = serverAddress.empty() ? nullptr : serverAddress.c_str();
    if (pa_context_connect(context, server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        releaseContext(context);
        return nullptr;
    }
    return context;
}

void releaseContext(pa_context* context) {
    if (context == nullptr)
        return;
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
}

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

void deadlinePassed(pa_mainloop_api*, pa_time_event*, const timeval*, void* userdata) {
    auto* deadline = static_cast<Deadline*>(userdata);
    deadline->passed = true;
    pa_threaded_mainloop_signal(deadline->loop, 0);
}

} // namespace calmfield::platform::pulse
