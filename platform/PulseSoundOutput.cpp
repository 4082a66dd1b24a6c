#include "platform/PulseSoundOutput.h"

#include "platform/PulseMainLoop.h"

#include <algorithm>

namespace calmfield::platform {
namespace {

constexpr std::size_t kBytesPerFrame = 2 * sizeof(float);
constexpr std::chrono::milliseconds kMinimumRequest{2};
// A stream that takes over after a reconnection rises from silence over this long, so that the
// sound does not come back with a click.
constexpr std::chrono::milliseconds kReconnectionFadeIn{10};
// While corked the stream asks for this much latency, so that the sink it holds on to, which
// goes on running at the latency of its streams, corked or not, wakes rarely.
constexpr std::chrono::milliseconds kRestingLatency{2000};

pa_usec_t toMicroseconds(std::chrono::milliseconds duration) {
    return duration.count() <= 0 ? 0 : static_cast<pa_usec_t>(duration.count()) * PA_USEC_PER_MSEC;
}

} // namespace

// libpulse calls these on its main loop thread with the loop's lock held.
struct PulseSoundOutput::Callbacks {
    static void contextState(pa_context* context, void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (context != self->context_)
            return;
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            if (pa_operation* operation = pa_context_get_server_info(context, serverInfo, self))
                pa_operation_unref(operation);
            else
                self->handleFailure();
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
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (context != self->context_ || self->stream_ != nullptr)
            return;
        if (info == nullptr || !self->createStream(info->sample_spec.rate))
            self->handleFailure();
    }

    static void streamState(pa_stream* stream, void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (stream != self->stream_)
            return;
        switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            if (const pa_buffer_attr* buffer = pa_stream_get_buffer_attr(stream))
                self->restAfterBytes_ =
                    std::max<std::size_t>(self->restAfterBytes_, 2 * std::size_t{buffer->tlength});
            if (self->connections_.load(std::memory_order_relaxed) > 0)
                self->fadeInFrames_ = self->fadeInLeft_ = static_cast<std::uint32_t>(
                    self->streamRate_ * kReconnectionFadeIn.count() / 1000);
            self->phase_ = Phase::Playing;
            self->playingRate_.store(self->streamRate_, std::memory_order_relaxed);
            self->connections_.fetch_add(1, std::memory_order_relaxed);
            pa_threaded_mainloop_signal(self->mainloop_, 0);
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            self->handleFailure();
            break;
        default:
            break;
        }
    }

    // The audio callback: fills the server's own buffers straight from the renderer.
    static void streamWrite(pa_stream* stream, std::size_t requested, void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        const unsigned wakeSerial = self->wakeSerial_.load();
        while (requested >= kBytesPerFrame) {
            void* data = nullptr;
            std::size_t bytes = requested;
            if (pa_stream_begin_write(stream, &data, &bytes) < 0 || data == nullptr)
                return;
            const std::size_t frames = bytes / kBytesPerFrame;
            if (frames == 0) {
                pa_stream_cancel_write(stream);
                return;
            }
            auto* samples = static_cast<float*>(data);
            if (self->renderer_ != nullptr)
                self->renderer_->render(samples, frames, self->streamRate_);
            else
                std::fill_n(samples, frames * 2, 0.0f);
            self->countSilence(frames * kBytesPerFrame);
            self->fadeIn(samples, frames);
            if (pa_stream_write(stream, data, frames * kBytesPerFrame, nullptr, 0,
                                PA_SEEK_RELATIVE) < 0)
                return;
            requested -= frames * kBytesPerFrame;
        }
        if (self->silentBytes_ >= self->restAfterBytes_)
            self->rest(wakeSerial);
    }
};

PulseSoundOutput::PulseSoundOutput(std::string serverAddress, std::string applicationName)
    : serverAddress_(std::move(serverAddress)), applicationName_(std::move(applicationName)) {}

PulseSoundOutput::~PulseSoundOutput() {
    stop();
}

bool PulseSoundOutput::start(AudioRenderer& renderer, std::chrono::milliseconds timeout) {
    stop();
    mainloop_ = pulse::startMainLoop("calmfield-sound");
    if (mainloop_ == nullptr)
        return false;

    pa_threaded_mainloop_lock(mainloop_);
    renderer_ = &renderer;
    phase_ = Phase::Starting;
    connections_.store(0, std::memory_order_relaxed);
    if (!connectContext() && phase_ == Phase::Starting)
        phase_ = Phase::StartFailed;
    pulse::waitUntil(mainloop_, timeout, [this] { return phase_ != Phase::Starting; });
    const bool started = phase_ == Phase::Playing;
    pa_threaded_mainloop_unlock(mainloop_);

    if (!started)
        stop();
    return started;
}

void PulseSoundOutput::wake() {
    wakeSerial_.fetch_add(1);
    if (!resting_.load() || mainloop_ == nullptr)
        return;
    pa_threaded_mainloop_lock(mainloop_);
    resume();
    pa_threaded_mainloop_unlock(mainloop_);
}

void PulseSoundOutput::stop() {
    if (mainloop_ == nullptr)
        return;
    pa_threaded_mainloop_lock(mainloop_);
    renderer_ = nullptr;
    phase_ = Phase::Idle;
    retryTimer_.cancel(mainloop_);
    releaseConnection();
    pa_threaded_mainloop_unlock(mainloop_);

    pulse::endMainLoop(mainloop_);
    mainloop_ = nullptr;
}

bool PulseSoundOutput::connectContext() {
    context_ = pulse::connectContext(mainloop_, serverAddress_, applicationName_, "music",
                                     Callbacks::contextState, this);
    return context_ != nullptr;
}

bool PulseSoundOutput::createStream(std::uint32_t rate) {
    const pa_sample_spec format{PA_SAMPLE_FLOAT32LE, rate, 2};
    if (!pa_sample_spec_valid(&format))
        return false;
    pa_channel_map channels;
    pa_channel_map_init_stereo(&channels);
    stream_ = pa_stream_new(context_, "Noise", &format, &channels);
    if (stream_ == nullptr)
        return false;
    streamRate_ = rate;
    fadeInLeft_ = 0;
    silentBytes_ = 0;
    restAfterBytes_ = 2 * pa_usec_to_bytes(toMicroseconds(kLatency), &format);
    resting_.store(false);
    pa_stream_set_state_callback(stream_, Callbacks::streamState, this);
    pa_stream_set_write_callback(stream_, Callbacks::streamWrite, this);

    pa_buffer_attr& buffer = playingBuffer_;
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength =
        static_cast<std::uint32_t>(pa_usec_to_bytes(toMicroseconds(kLatency), &format));
    buffer.prebuf = static_cast<std::uint32_t>(-1);
    // The server keeps about half of what is left of the latency after two minimum requests in its
    // own buffer; a small minimum request leaves it the largest share, so that both sides wake
    // up least often.
    buffer.minreq =
        static_cast<std::uint32_t>(pa_usec_to_bytes(toMicroseconds(kMinimumRequest), &format));
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    restingBuffer_ = buffer;
    restingBuffer_.tlength =
        static_cast<std::uint32_t>(pa_usec_to_bytes(toMicroseconds(kRestingLatency), &format));
    return pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                      nullptr) >= 0;
}

// The connection broke or could not be made: a first start gives up, a running output tries again.
void PulseSoundOutput::handleFailure() {
    playingRate_.store(0, std::memory_order_relaxed);
    switch (phase_) {
    case Phase::Starting:
        phase_ = Phase::StartFailed;
        pa_threaded_mainloop_signal(mainloop_, 0);
        break;
    case Phase::Playing:
    case Phase::Reconnecting:
        phase_ = Phase::Reconnecting;
        scheduleRetry();
        break;
    default:
        break;
    }
}

void PulseSoundOutput::scheduleRetry() {
    retryTimer_.schedule(mainloop_, kRetryInterval);
}

// Runs from the retry timer, outside every libpulse callback, so the old connection can go.
void PulseSoundOutput::retryNow() {
    if (phase_ != Phase::Reconnecting)
        return;
    releaseConnection();
    if (!connectContext())
        scheduleRetry();
}

void PulseSoundOutput::fadeIn(float* interleavedStereo, std::size_t frames) {
    for (std::size_t n = 0; n < frames && fadeInLeft_ > 0; ++n, --fadeInLeft_) {
        const float gain =
            static_cast<float>(fadeInFrames_ - fadeInLeft_) / static_cast<float>(fadeInFrames_);
        interleavedStereo[2 * n] *= gain;
        interleavedStereo[2 * n + 1] *= gain;
    }
}

void PulseSoundOutput::countSilence(std::size_t bytes) {
    if (renderer_ == nullptr || renderer_->idle())
        silentBytes_ += bytes;
    else
        silentBytes_ = 0;
}

// Corks the stream once all it still holds is silence, unless a wake came in meanwhile.
void PulseSoundOutput::rest(unsigned wakeSerial) {
    if (resting_.load())
        return;
    resting_.store(true);
    if (wakeSerial_.load() != wakeSerial) {
        resting_.store(false);
        return;
    }
    pa_operation* operation = pa_stream_cork(stream_, 1, nullptr, nullptr);
    if (operation == nullptr) {
        resting_.store(false);
        return;
    }
    pa_operation_unref(operation);
    if ((operation = pa_stream_set_buffer_attr(stream_, &restingBuffer_, nullptr, nullptr)))
        pa_operation_unref(operation);
}

// Drops the silence left in the server's buffer, so that new sound is not held up behind it.
// The server carries out the requests in order, so the stream plays at its usual latency.
void PulseSoundOutput::resume() {
    if (stream_ != nullptr && resting_.load()) {
        for (pa_operation* operation :
             {pa_stream_set_buffer_attr(stream_, &playingBuffer_, nullptr, nullptr),
              pa_stream_flush(stream_, nullptr, nullptr),
              pa_stream_cork(stream_, 0, nullptr, nullptr)})
            if (operation != nullptr)
                pa_operation_unref(operation);
    }
    silentBytes_ = 0;
    resting_.store(false);
}

void PulseSoundOutput::releaseConnection() {
    if (stream_ != nullptr) {
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    pulse::releaseContext(context_);
    context_ = nullptr;
    streamRate_ = 0;
    playingRate_.store(0, std::memory_order_relaxed);
}

} // namespace calmfield::platform
