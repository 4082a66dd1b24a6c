#include "platform/PulseSystemMixer.h"

#include "platform/PulseMainLoop.h"

#include <algorithm>

namespace calmfield::platform {
// libpulse calls these on its main loop thread with the loop's lock held.
struct PulseSystemMixer::Callbacks {
    static void contextState(pa_context*, void* userdata) {
        pa_threaded_mainloop_signal(static_cast<PulseSystemMixer*>(userdata)->mainloop_, 0);
    }

    static void operationState(pa_operation*, void* userdata) {
        pa_threaded_mainloop_signal(static_cast<PulseSystemMixer*>(userdata)->mainloop_, 0);
    }

    static void serverInfo(pa_context*, const pa_server_info* info, void* userdata) {
        auto* self = static_cast<PulseSystemMixer*>(userdata);
        if (info != nullptr && info->default_sink_name != nullptr)
            self->defaultSinkName_ = info->default_sink_name;
    }

    static void sinkInfo(pa_context*, const pa_sink_info* info, int, void* userdata) {
        auto* self = static_cast<PulseSystemMixer*>(userdata);
        if (info == nullptr)
            return;
        self->sinkIndex_ = info->index;
        self->sinkChannels_ = info->volume.channels;
        self->sinkFound_ = true;
    }
};

PulseSystemMixer::PulseSystemMixer(std::string serverAddress, std::string applicationName)
    : serverAddress_(std::move(serverAddress)), applicationName_(std::move(applicationName)) {}

PulseSystemMixer::~PulseSystemMixer() {
    close();
}

bool PulseSystemMixer::open(std::chrono::milliseconds timeout) {
    close();
    mainloop_ = pulse::startMainLoop("calmfield-mixer");
    if (mainloop_ == nullptr)
        return false;

    pa_threaded_mainloop_lock(mainloop_);
    context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), applicationName_.c_str());
    bool ready = false;
    if (context_ != nullptr) {
        pa_context_set_state_callback(context_, Callbacks::contextState, this);
        const char* server = serverAddress_.empty() ? nullptr : serverAddress_.c_str();
        if (pa_context_connect(context_, server, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            ready =
                pulse::waitUntil(mainloop_, timeout,
                                 [this] {
                                     const pa_context_state_t state =
                                         pa_context_get_state(context_);
                                     return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
                                 }) &&
                pa_context_get_state(context_) == PA_CONTEXT_READY;
        }
    }
    pa_threaded_mainloop_unlock(mainloop_);
    if (!ready)
        close();
    return ready;
}

// With the main loop's lock held: waits a bounded time for `operation` to finish, then lets go.
bool PulseSystemMixer::waitFor(pa_operation* operation) {
    if (operation == nullptr)
        return false;
    pa_operation_set_state_callback(operation, Callbacks::operationState, this);
    const bool done = pulse::waitUntil(mainloop_, kAnswerTimeout, [operation] {
        return pa_operation_get_state(operation) != PA_OPERATION_RUNNING;
    });
    if (!done)
        pa_operation_cancel(operation);
    pa_operation_set_state_callback(operation, nullptr, nullptr);
    pa_operation_unref(operation);
    return done;
}

std::uint32_t PulseSystemMixer::findLine(std::uint32_t componentType) {
    if (context_ == nullptr || componentType != kSpeakersComponent)
        return 0;
    pa_threaded_mainloop_lock(mainloop_);
    defaultSinkName_.clear();
    sinkFound_ = false;
    if (waitFor(pa_context_get_server_info(context_, Callbacks::serverInfo, this)) &&
        !defaultSinkName_.empty()) {
        waitFor(pa_context_get_sink_info_by_name(context_, defaultSinkName_.c_str(),
                                                 Callbacks::sinkInfo, this));
    }
    speakersLine_ = sinkFound_ ? sinkIndex_ + 1 : 0;
    pa_threaded_mainloop_unlock(mainloop_);
    return speakersLine_;
}

std::uint32_t PulseSystemMixer::findControl(std::uint32_t line, std::uint32_t controlType) {
    // The sink's one volume control shares the line's number.
    if (line == 0 || line != speakersLine_ || controlType != kVolumeControlType)
        return 0;
    return line;
}

bool PulseSystemMixer::setControlValue(std::uint32_t control, std::uint32_t value) {
    if (context_ == nullptr || control == 0 || control != speakersLine_)
        return false;
    pa_cvolume volume;
    pa_cvolume_set(&volume, std::max<std::uint8_t>(1, sinkChannels_),
                   std::min<pa_volume_t>(value, PA_VOLUME_MAX));
    pa_threaded_mainloop_lock(mainloop_);
    // Sent without waiting for the answer: the user-interface thread does not wait on the server.
    pa_operation* operation =
        pa_context_set_sink_volume_by_index(context_, control - 1, &volume, nullptr, nullptr);
    if (operation != nullptr)
        pa_operation_unref(operation);
    pa_threaded_mainloop_unlock(mainloop_);
    return operation != nullptr;
}

void PulseSystemMixer::close() {
    if (mainloop_ == nullptr)
        return;
    pa_threaded_mainloop_lock(mainloop_);
    if (context_ != nullptr) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    pa_threaded_mainloop_unlock(mainloop_);
    pulse::endMainLoop(mainloop_);
    mainloop_ = nullptr;
    speakersLine_ = 0;
}

} // namespace calmfield::platform
