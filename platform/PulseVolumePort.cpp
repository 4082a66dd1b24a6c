#include "platform/PulseVolumePort.h"

#include <algorithm>

namespace calmfield::platform {

// libpulse calls these on its main loop thread with the loop's lock held.
struct PulseVolumePort::Callbacks {
    static void serverInfo(pa_context* context, const pa_server_info* info, void* userdata) {
        auto* self = static_cast<PulseVolumePort*>(userdata);
        if (context != self->connection_.context() || self->sink_ != Sink::lookingUp)
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
        auto* self = static_cast<PulseVolumePort*>(userdata);
        if (context != self->connection_.context() || self->sink_ != Sink::lookingUp)
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
        auto* self = static_cast<PulseVolumePort*>(userdata);
        if (context != self->connection_.context())
            return;
        ++self->volumeRequestsAnswered_;
        if (success != 0 && self->volumeRequestsAnswered_ == self->volumeRequestsSent_)
            self->volumeUnconfirmed_ = false;
    }
};

PulseVolumePort::PulseVolumePort(std::string serverAddress, std::string applicationName)
    : connection_(*this, std::move(serverAddress), std::move(applicationName), nullptr,
                  "calmfield-mixer") {}

PulseVolumePort::~PulseVolumePort() {
    connection_.close();
}

bool PulseVolumePort::open(std::chrono::milliseconds timeout) {
    // No loop runs until the connection opens.
    volumeUnconfirmed_ = false;
    sink_ = Sink::unknown;
    return connection_.open(timeout);
}

void PulseVolumePort::setVolume(std::uint32_t volume) {
    if (!connection_.isOpen())
        return;
    pulse::PulseConnection::Lock lock(connection_);
    wantedVolume_ = std::min<std::uint32_t>(volume, PA_VOLUME_MAX);
    volumeUnconfirmed_ = true;
    if (sink_ == Sink::found)
        sendWantedVolume();
}

void PulseVolumePort::contextReady(pa_context*) {
    volumeRequestsSent_ = 0;
    volumeRequestsAnswered_ = 0;
    connection_.established();
    lookUpSink();
}

void PulseVolumePort::connectionLost() {
    sink_ = Sink::unknown;
}

void PulseVolumePort::releaseContext() {
    lookUpTimer_.cancel(connection_.loop());
}

// Also runs from the look-up timer, which is cancelled whenever the context goes.
void PulseVolumePort::lookUpSink() {
    sink_ = Sink::lookingUp;
    if (pa_operation* operation =
            pa_context_get_server_info(connection_.context(), Callbacks::serverInfo, this))
        pa_operation_unref(operation);
    else
        finishLookUp(false);
}

void PulseVolumePort::finishLookUp(bool found) {
    sink_ = found ? Sink::found : Sink::missing;
    if (!found)
        lookUpTimer_.schedule(connection_.loop(), kRetryInterval);
    else if (volumeUnconfirmed_)
        sendWantedVolume();
}

// Sent without waiting for the answer: the user-interface thread does not wait on the server.
void PulseVolumePort::sendWantedVolume() {
    pa_cvolume volume;
    pa_cvolume_set(&volume, std::max<std::uint8_t>(1, sinkChannels_), wantedVolume_);
    pa_operation* operation = pa_context_set_sink_volume_by_index(
        connection_.context(), sinkIndex_, &volume, Callbacks::volumeSet, this);
    if (operation == nullptr)
        return;
    ++volumeRequestsSent_;
    pa_operation_unref(operation);
}

} // namespace calmfield::platform
