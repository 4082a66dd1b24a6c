#include "sound/PulseCaptureDevice.h"

#include <cstring>

namespace calmfield::sound {
namespace {

// Every server names the monitor of its default output so.
constexpr char kDefaultOutputMonitor[] = "@DEFAULT_MONITOR@";
constexpr std::uint8_t kUnsignedSilence = 0x80;

pa_usec_t toMicroseconds(std::chrono::milliseconds duration) {
    return static_cast<pa_usec_t>(duration.count()) * PA_USEC_PER_MSEC;
}

} // namespace

// libpulse calls these on its main loop thread with the loop's lock held.
struct PulseCaptureDevice::Callbacks {
    static void streamState(pa_stream* stream, void* userdata) {
        auto* self = static_cast<PulseCaptureDevice*>(userdata);
        if (stream != self->stream_)
            return;
        const pa_stream_state_t state = pa_stream_get_state(stream);
        if (!PA_STREAM_IS_GOOD(state))
            self->streamBroke();
        else if (state == PA_STREAM_READY && self->sink_ != nullptr)
            self->takeSource_ = pa_stream_get_device_name(stream);
    }

    // A take stays on the monitor it started on: the server moves every stream not pinned to a
    // device when the default output changes, and this one is moved back while its monitor
    // exists. Pinning it at the start would end the take should that output go.
    static void streamMoved(pa_stream* stream, void* userdata) {
        auto* self = static_cast<PulseCaptureDevice*>(userdata);
        const char* now = pa_stream_get_device_name(stream);
        if (stream != self->stream_ || self->takeSource_.empty() || now == nullptr ||
            self->takeSource_ == now)
            return;
        if (pa_operation* moving = pa_context_move_source_output_by_name(
                pa_stream_get_context(stream), pa_stream_get_index(stream),
                self->takeSource_.c_str(), nullptr, nullptr))
            pa_operation_unref(moving);
    }

    // The audio callback of a recording: hands every captured fragment on as it comes.
    static void streamRead(pa_stream* stream, std::size_t, void* userdata) {
        auto* self = static_cast<PulseCaptureDevice*>(userdata);
        while (stream == self->stream_ && self->sink_ != nullptr) {
            const void* data = nullptr;
            std::size_t bytes = 0;
            if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
                return;
            if (data != nullptr)
                self->sink_->accept(static_cast<const std::uint8_t*>(data), bytes);
            pa_stream_drop(stream);
        }
    }

    // The audio callback of a playback: plays what the source has; once it has no more, lets the
    // server play out what it holds.
    static void streamWrite(pa_stream* stream, std::size_t requested, void* userdata) {
        auto* self = static_cast<PulseCaptureDevice*>(userdata);
        while (requested > 0 && stream == self->stream_ && self->source_ != nullptr &&
               self->drain_ == nullptr) {
            void* data = nullptr;
            std::size_t bytes = requested;
            if (pa_stream_begin_write(stream, &data, &bytes) < 0 || data == nullptr || bytes == 0)
                return;
            auto* samples = static_cast<std::uint8_t*>(data);
            const std::size_t supplied = self->source_->supply(samples, bytes);
            if (supplied < bytes && self->source_->exhausted()) {
                if (supplied == 0)
                    pa_stream_cancel_write(stream);
                else
                    pa_stream_write(stream, data, supplied, nullptr, 0, PA_SEEK_RELATIVE);
                self->drain_ = pa_stream_drain(stream, drained, self);
                return;
            }
            // The disk is behind: a moment of silence rather than a stalled stream.
            std::memset(samples + supplied, kUnsignedSilence, bytes - supplied);
            if (pa_stream_write(stream, data, bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return;
            requested -= bytes;
        }
    }

    static void drained(pa_stream* stream, int success, void* userdata) {
        auto* self = static_cast<PulseCaptureDevice*>(userdata);
        if (stream == self->stream_ && success)
            self->activity_.store(Activity::PlayedToEnd, std::memory_order_relaxed);
    }
};

PulseCaptureDevice::PulseCaptureDevice(std::string serverAddress, std::string applicationName)
    : connection_(*this, std::move(serverAddress), std::move(applicationName), nullptr,
                  "calmfield-record") {}

PulseCaptureDevice::~PulseCaptureDevice() {
    close();
}

bool PulseCaptureDevice::open(std::chrono::milliseconds timeout) {
    close();
    if (connection_.open(timeout))
        return true;
    close();
    return false;
}

bool PulseCaptureDevice::serverReachable() const {
    return reachable_.load(std::memory_order_relaxed);
}

CaptureDevice::Activity PulseCaptureDevice::activity() const {
    return activity_.load(std::memory_order_relaxed);
}

// Stops what ran before, makes a stream in `format`, lets `connect` hook it up and
// connect it, and marks the device `activity` when that worked.
template <typename Connect>
bool PulseCaptureDevice::startStream(const char* name, BytePcmFormat format, Activity activity,
                                     Connect connect) {
    if (!connection_.isOpen())
        return false;
    pulse::PulseConnection::Lock lock(connection_);
    releaseStream();
    pa_stream* stream = newStream(name, format);
    const bool started = stream != nullptr && connect(stream);
    if (started)
        activity_.store(activity, std::memory_order_relaxed);
    else
        releaseStream();
    return started;
}

bool PulseCaptureDevice::startRecording(BytePcmFormat format, CapturedBytesSink& sink) {
    return startStream("Recording", format, Activity::Recording, [&](pa_stream* stream) {
        pa_buffer_attr buffer{};
        buffer.maxlength = static_cast<std::uint32_t>(-1);
        buffer.fragsize = static_cast<std::uint32_t>(
            pa_usec_to_bytes(toMicroseconds(kCaptureFragment), pa_stream_get_sample_spec(stream)));
        pa_stream_set_read_callback(stream, Callbacks::streamRead, this);
        pa_stream_set_moved_callback(stream, Callbacks::streamMoved, this);
        sink_ = &sink;
        takeSource_.clear();
        return pa_stream_connect_record(stream, kDefaultOutputMonitor, &buffer,
                                        PA_STREAM_ADJUST_LATENCY) >= 0;
    });
}

bool PulseCaptureDevice::startPlaying(BytePcmFormat format, PlaybackBytesSource& source) {
    return startStream("Playback", format, Activity::Playing, [&](pa_stream* stream) {
        pa_buffer_attr buffer{};
        buffer.maxlength = static_cast<std::uint32_t>(-1);
        buffer.tlength = static_cast<std::uint32_t>(
            pa_usec_to_bytes(toMicroseconds(kPlaybackLatency), pa_stream_get_sample_spec(stream)));
        buffer.prebuf = static_cast<std::uint32_t>(-1);
        buffer.minreq = static_cast<std::uint32_t>(-1);
        pa_stream_set_write_callback(stream, Callbacks::streamWrite, this);
        source_ = &source;
        return pa_stream_connect_playback(stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY,
                                          nullptr, nullptr) >= 0;
    });
}

void PulseCaptureDevice::stop() {
    if (!connection_.isOpen())
        return;
    pulse::PulseConnection::Lock lock(connection_);
    releaseStream();
    activity_.store(Activity::Idle, std::memory_order_relaxed);
}

void PulseCaptureDevice::contextReady(pa_context*) {
    reachable_.store(true, std::memory_order_relaxed);
    connection_.established();
}

void PulseCaptureDevice::connectionLost() {
    reachable_.store(false, std::memory_order_relaxed);
    streamBroke();
}

void PulseCaptureDevice::releaseContext() {
    releaseStream();
}

// With the lock held and a ready context: a new stream in `format`, watched for breaking.
pa_stream* PulseCaptureDevice::newStream(const char* name, BytePcmFormat format) {
    pa_context* context = connection_.context();
    if (context == nullptr || pa_context_get_state(context) != PA_CONTEXT_READY)
        return nullptr;
    const pa_sample_spec spec{PA_SAMPLE_U8, format.rate, format.channels};
    pa_channel_map channels;
    if (!pa_sample_spec_valid(&spec) ||
        pa_channel_map_init_auto(&channels, format.channels, PA_CHANNEL_MAP_DEFAULT) == nullptr)
        return nullptr;
    stream_ = pa_stream_new(context, name, &spec, &channels);
    if (stream_ != nullptr)
        pa_stream_set_state_callback(stream_, Callbacks::streamState, this);
    return stream_;
}

// The running recording or playback was cut off; what it did so far stays with its owner.
void PulseCaptureDevice::streamBroke() {
    if (stream_ == nullptr)
        return;
    sink_ = nullptr;
    source_ = nullptr;
    activity_.store(Activity::Broken, std::memory_order_relaxed);
}

void PulseCaptureDevice::releaseStream() {
    if (drain_ != nullptr) {
        pa_operation_cancel(drain_);
        pa_operation_unref(drain_);
        drain_ = nullptr;
    }
    pulse::releaseStream(stream_);
    sink_ = nullptr;
    source_ = nullptr;
}

void PulseCaptureDevice::close() {
    connection_.close();
    reachable_.store(false, std::memory_order_relaxed);
    activity_.store(Activity::Idle, std::memory_order_relaxed);
}

} // namespace calmfield::sound
