#include "platform/PulseSystemMixer.h"

#include "platform/PulseMainLoop.h"

#include <algorithm>

namespace calmfield::platform {

// libpulse calls these on its main loop thread with the loop's lock held.
struct PulseSystemMixer::Callbacks {
    static void contextState(pa_context* context, void* userdata) {
        auto* self = static_cast<PulseSystemMixer*>(userdata);
        if (context != self->context_)
            return;
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            self->volumeRequestsSent_ = 0;
            self->volumeRequestsAnswered_ = 0;
            self->lookUpSpeakers();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            self->handleFailure();
            break;
        default:
            break;
        }
    }

    static void serverInfo(pa_context* context, const pa_server_info* info, void* userdata) {
        auto* self = static_cast<PulseSystemMixer*>(userdata);
        if (context != self->context_ || self->phase_ != Phase::LookingUp)
            return;
        pa_operation* operation = nullptr;
        if (info != nullptr && info->default_sink_name != nullptr)
            operation =
                pa_context_get_sink_info_by_name(context, info->default_sink_name, sinkInfo, self);
        if (operation != nullptr)
            pa_operation_unref(operation);
        else
            self->finishLookUp(false);
    }

    // Called once with the sink, if there is one, then once more to say the list has ended.
    static void sinkInfo(pa_context* context, const pa_sink_info* info, int endOfList,
                         void* userdata) {
        auto* self = static_cast<PulseSystemMixer*>(userdata);
        if (context != self->context_ || self->phase_ != Phase::LookingUp)
            return;
        if (info != nullptr) {
            self->sinkIndex_ = info->index;
            self->sinkChannels_ = info->volume.channels;
            self->finishLookUp(true);
        } else if (endOfList != 0) {
            self->finishLookUp(false);
        }
    }

    static void volumeSet(pa_context* context, int success, void* userdata) {
        auto* self = static_cast<PulseSystemMixer*>(userdata);
        if (context != self->context_)
            return;
        ++self->volumeRequestsAnswered_;
        if (success != 0 && self->volumeRequestsAnswered_ == self->volumeRequestsSent_)
            self->volumeUnconfirmed_ = false;
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
    phase_ = Phase::Opening;
    volumeUnconfirmed_ = false;
    if (!connectContext() && phase_ == Phase::Opening)
        phase_ = Phase::OpenFailed;
    pulse::waitUntil(mainloop_, timeout, [this] { return phase_ != Phase::Opening; });
    const bool opened = phase_ != Phase::Opening && phase_ != Phase::OpenFailed;
    pa_threaded_mainloop_unlock(mainloop_);

    if (!opened)
        close();
    return opened;
}

std::uint32_t PulseSystemMixer::findLine(std::uint32_t componentType) {
    if (mainloop_ == nullptr || componentType != kSpeakersComponent)
        return 0;
    pa_threaded_mainloop_lock(mainloop_);
    pulse::waitUntil(mainloop_, kAnswerTimeout, [this] { return phase_ != Phase::LookingUp; });
    // A server still without a default sink, as at login before the sound cards are set up, has
    // the line all the same: its volume reaches the sink that turns up.
    if (phase_ == Phase::Ready || phase_ == Phase::NoSpeakers)
        speakersLine_ = kSpeakersLine;
    const std::uint32_t line = speakersLine_;
    pa_threaded_mainloop_unlock(mainloop_);
    return line;
}

std::uint32_t PulseSystemMixer::findControl(std::uint32_t line, std::uint32_t controlType) {
    // The sink's one volume control shares the line's number.
    if (line == 0 || line != speakersLine_ || controlType != kVolumeControlType)
        return 0;
    return line;
}

bool PulseSystemMixer::setControlValue(std::uint32_t control, std::uint32_t value) {
    if (mainloop_ == nullptr || control == 0 || control != speakersLine_)
        return false;
    pa_threaded_mainloop_lock(mainloop_);
    wantedVolume_ = std::min<std::uint32_t>(value, PA_VOLUME_MAX);
    volumeUnconfirmed_ = true;
    if (phase_ == Phase::Ready)
        sendWantedVolume();
    pa_threaded_mainloop_unlock(mainloop_);
    return true;
}

bool PulseSystemMixer::connectContext() {
    context_ = pulse::connectContext(mainloop_, serverAddress_, applicationName_, nullptr,
                                     Callbacks::contextState, this);
    return context_ != nullptr;
}

void PulseSystemMixer::lookUpSpeakers() {
    phase_ = Phase::LookingUp;
    if (pa_operation* operation = pa_context_get_server_info(context_, Callbacks::serverInfo, this))
        pa_operation_unref(operation);
    else
        finishLookUp(false);
}

// A server without a default sink is asked again later: one may yet be set up.
void PulseSystemMixer::finishLookUp(bool found) {
    phase_ = found ? Phase::Ready : Phase::NoSpeakers;
    pa_threaded_mainloop_signal(mainloop_, 0);
    if (!found)
        scheduleRetry();
    else if (volumeUnconfirmed_)
        sendWantedVolume();
}

// Sent without waiting for the answer: the user-interface thread does not wait on the server.
void PulseSystemMixer::sendWantedVolume() {
    pa_cvolume volume;
    pa_cvolume_set(&volume, std::max<std::uint8_t>(1, sinkChannels_), wantedVolume_);
    pa_operation* operation = pa_context_set_sink_volume_by_index(context_, sinkIndex_, &volume,
                                                                  Callbacks::volumeSet, this);
    if (operation == nullptr)
        return;
    ++volumeRequestsSent_;
    pa_operation_unref(operation);
}

// The connection broke or could not be made: opening gives up, an open mixer tries again.
void PulseSystemMixer::handleFailure() {
    if (phase_ == Phase::Opening) {
        phase_ = Phase::OpenFailed;
        pa_threaded_mainloop_signal(mainloop_, 0);
    } else if (phase_ != Phase::Idle && phase_ != Phase::OpenFailed) {
        phase_ = Phase::Reconnecting;
        pa_threaded_mainloop_signal(mainloop_, 0);
        scheduleRetry();
    }
}

void PulseSystemMixer::scheduleRetry() {
    retryTimer_.schedule(mainloop_, kRetryInterval);
}

// Runs from the retry timer, outside every libpulse callback, so the old connection can go.
void PulseSystemMixer::retryNow() {
    if (phase_ == Phase::NoSpeakers) {
        lookUpSpeakers();
    } else if (phase_ == Phase::Reconnecting) {
        pulse::releaseContext(context_);
        context_ = nullptr;
        if (!connectContext())
            scheduleRetry();
    }
}

void PulseSystemMixer::close() {
    if (mainloop_ == nullptr)
        return;
    pa_threaded_mainloop_lock(mainloop_);
    phase_ = Phase::Idle;
    retryTimer_.cancel(mainloop_);
    pulse::releaseContext(context_);
    context_ = nullptr;
    pa_threaded_mainloop_unlock(mainloop_);
    pulse::endMainLoop(mainloop_);
    mainloop_ = nullptr;
    speakersLine_ = 0;
}

} // namespace calmfield::platform
