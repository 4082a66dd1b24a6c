#include "sound/PulseVolumePort.h"

#include <algorithm>

namespace calmfield::sound {
namespace {

// The server's name for whichever sink is the default one when it is asked.
constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

// Sent without waiting for the answer: the user-interface thread does not wait on the server.
pa_operation* sendSinkVolume(pa_context* context, std::uint32_t sink, std::uint8_t channels,
                             std::uint32_t value, pa_context_success_cb_t answered,
                             void* userdata) {
    pa_cvolume volume;
    pa_cvolume_set(&volume, std::max<std::uint8_t>(1, channels), value);
    return pa_context_set_sink_volume_by_index(context, sink, &volume, answered, userdata);
}

} // namespace

// libpulse calls these on its main loop thread with the loop's lock held.
struct PulseVolumePort::Callbacks {
    // The default sink may have changed when the server's settings did, when a sink came while
    // none was known, or when the one controlled went.
    static void serverEvent(pa_context* context, pa_subscription_event_type_t event,
                            std::uint32_t index, void* userdata) {
        auto* self = static_cast<PulseVolumePort*>(userdata);
        if (context != self->connection_.context())
            return;
        const unsigned facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        const unsigned type = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
        const bool sinkCame = type == PA_SUBSCRIPTION_EVENT_NEW && self->sink_ != Sink::found;
        const bool controlledSinkWent = type == PA_SUBSCRIPTION_EVENT_REMOVE &&
                                        self->sinkControlled_ && index == self->sinkIndex_;
        if (facility == PA_SUBSCRIPTION_EVENT_SERVER ||
            (facility == PA_SUBSCRIPTION_EVENT_SINK && (sinkCame || controlledSinkWent)))
            self->lookUpSink();
    }

    // Called once with the sink, if there is one, then once more to say the list has ended.
    static void sinkInfo(pa_context* context, const pa_sink_info* info, int endOfList,
                         void* userdata) {
        auto* self = static_cast<PulseVolumePort*>(userdata);
        if (context != self->connection_.context())
            return;
        if (info != nullptr) {
            if (self->lookUpsAnswered_ + 1 == self->lookUpsSent_)
                self->finishLookUp(info);
        } else if (endOfList != 0) {
            ++self->lookUpsAnswered_;
            if (self->lookUpsAnswered_ == self->lookUpsSent_ && self->sink_ == Sink::lookingUp)
                self->finishLookUp(nullptr);
        }
    }

    // A sink Mute silenced, found again by its name once Mute has ended.
    static void silencedSinkInfo(pa_context* context, const pa_sink_info* info, int,
                                 void* userdata) {
        auto* self = static_cast<PulseVolumePort*>(userdata);
        if (context != self->connection_.context())
            return;
        if (info == nullptr) {
            self->restoreAnswered();
            return;
        }
        if (self->muteHolds_)
            return;
        if (pa_operation* operation = sendSinkVolume(context, info->index, info->volume.channels,
                                                     self->wantedVolume_, restoreSet, self)) {
            ++self->restoresUnanswered_;
            pa_operation_unref(operation);
        }
    }

    static void restoreSet(pa_context* context, int, void* userdata) {
        auto* self = static_cast<PulseVolumePort*>(userdata);
        if (context == self->connection_.context())
            self->restoreAnswered();
    }

    static void volumeSet(pa_context* context, int success, void* userdata) {
        auto* self = static_cast<PulseVolumePort*>(userdata);
        if (context != self->connection_.context())
            return;
        ++self->volumeRequestsAnswered_;
        if (success != 0 && self->volumeRequestsAnswered_ == self->volumeRequestsSent_)
            self->volumeUnconfirmed_ = false;
        pa_threaded_mainloop_signal(self->connection_.loop(), 0);
    }
};

PulseVolumePort::PulseVolumePort(std::string serverAddress, std::string applicationName)
    : connection_(*this, std::move(serverAddress), std::move(applicationName), nullptr,
                  "calmfield-vol") {}

PulseVolumePort::~PulseVolumePort() {
    connection_.close();
}

bool PulseVolumePort::open(std::chrono::milliseconds timeout) {
    // No loop runs until the connection opens.
    volumeUnsent_ = volumeUnconfirmed_ = false;
    sink_ = Sink::unknown;
    sinkControlled_ = false;
    return connection_.open(timeout, pulse::PulseConnection::OnFailure::keepTrying);
}

void PulseVolumePort::setVolume(std::uint32_t volume, bool byMute) {
    if (!connection_.isOpen())
        return;
    pulse::PulseConnection::Lock lock(connection_);
    wantedVolume_ = std::min<std::uint32_t>(volume, PA_VOLUME_MAX);
    volumeUnsent_ = true;
    if (muteHolds_ && !byMute)
        restorePending_ = true;
    muteHolds_ = byMute;
    if (sink_ == Sink::found)
        sendWantedVolume();
    if (restorePending_ && connection_.ready())
        restoreSilencedSinks();
}

bool PulseVolumePort::settle(std::chrono::milliseconds timeout) {
    if (!connection_.isOpen())
        return false;
    pulse::PulseConnection::Lock lock(connection_);
    return connection_.waitUntil(timeout, [this] {
        return connection_.ready() && sink_ != Sink::lookingUp && !volumeUnsent_ &&
               !volumeUnconfirmed_ && !restorePending_ && restoresUnanswered_ == 0;
    });
}

void PulseVolumePort::restoreAnswered() {
    if (restoresUnanswered_ > 0)
        --restoresUnanswered_;
    pa_threaded_mainloop_signal(connection_.loop(), 0);
}

void PulseVolumePort::contextReady(pa_context* context) {
    volumeRequestsSent_ = volumeRequestsAnswered_ = 0;
    restoresUnanswered_ = 0;
    lookUpsSent_ = lookUpsAnswered_ = 0;
    pa_context_set_subscribe_callback(context, Callbacks::serverEvent, this);
    const auto events = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SERVER |
                                                            PA_SUBSCRIPTION_MASK_SINK);
    if (pa_operation* operation = pa_context_subscribe(context, events, nullptr, nullptr))
        pa_operation_unref(operation);
    connection_.established();
    lookUpSink();
    if (restorePending_)
        restoreSilencedSinks();
}

// A volume the server had not confirmed goes to the default sink of the next server.
void PulseVolumePort::connectionLost() {
    sink_ = Sink::unknown;
    sinkControlled_ = false;
    volumeUnsent_ = volumeUnsent_ || volumeUnconfirmed_;
    volumeUnconfirmed_ = false;
}

// Volumes asked for meanwhile wait for the answer, and go to the sink it names.
void PulseVolumePort::lookUpSink() {
    sink_ = Sink::lookingUp;
    if (pa_operation* operation = pa_context_get_sink_info_by_name(
            connection_.context(), kDefaultSink, Callbacks::sinkInfo, this)) {
        ++lookUpsSent_;
        pa_operation_unref(operation);
    } else {
        finishLookUp(nullptr);
    }
}

// Without a sink, the next one that comes is looked up.
void PulseVolumePort::finishLookUp(const pa_sink_info* sink) {
    const bool sameSink = sinkControlled_ && sink != nullptr && sink->index == sinkIndex_;
    if (sinkControlled_ && !sameSink)
        volumeUnconfirmed_ = false; // what the sink before was sent is its own
    sinkControlled_ = sink != nullptr;
    if (sink == nullptr) {
        sink_ = Sink::missing;
        return;
    }
    sink_ = Sink::found;
    sinkIndex_ = sink->index;
    sinkChannels_ = sink->volume.channels;
    sinkName_ = sink->name != nullptr ? sink->name : "";
    if (!sameSink && muteHolds_)
        volumeUnsent_ = true;
    if (volumeUnsent_)
        sendWantedVolume();
}

void PulseVolumePort::sendWantedVolume() {
    pa_operation* operation = sendSinkVolume(connection_.context(), sinkIndex_, sinkChannels_,
                                             wantedVolume_, Callbacks::volumeSet, this);
    if (operation == nullptr)
        return;
    volumeUnsent_ = false;
    volumeUnconfirmed_ = true;
    ++volumeRequestsSent_;
    pa_operation_unref(operation);
    if (muteHolds_ &&
        std::find(silencedSinks_.begin(), silencedSinks_.end(), sinkName_) == silencedSinks_.end())
        silencedSinks_.push_back(sinkName_);
}

// The default sink has the volume already; each other one is found by name first, so that
// nothing is sent to a sink that has gone.
void PulseVolumePort::restoreSilencedSinks() {
    restorePending_ = false;
    for (const std::string& name : silencedSinks_) {
        if (sink_ == Sink::found && name == sinkName_)
            continue;
        if (pa_operation* operation = pa_context_get_sink_info_by_name(
                connection_.context(), name.c_str(), Callbacks::silencedSinkInfo, this)) {
            ++restoresUnanswered_;
            pa_operation_unref(operation);
        }
    }
    silencedSinks_.clear();
}

} // namespace calmfield::sound
