#include "sound/PulseSoundOutput.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calmfield::sound {
namespace {

constexpr std::size_t kBytesPerFrame = 2 * sizeof(float);
// A stream that takes over after a reconnection rises from silence over this long, so that the
// sound does not come back with a click.

pa_usec_t toMicroseconds(std::chrono::milliseconds duration) {
    return duration.count() <= 0 ? 0 : static_cast<pa_usec_t>(duration.count()) * PA_USEC_PER_MSEC;
}

std::int64_t framesIn(std::chrono::milliseconds duration, std::uint32_t rate) {
    return static_cast<std::int64_t>(duration.count()) * rate / 1000;
}

} // namespace

// libpulse calls these on its main loop thread with the loop's lock held.
struct PulseSoundOutput::Callbacks {
    // The stream opens at the rate of the output it will play on, the default sink, so that the
    // server converts nothing; at the server's own rate when that sink cannot be found.
    static void serverInfo(pa_context* context, const pa_server_info* info, void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (context != self->connection_.context() || self->stream_ != nullptr)
            return;
        if (info == nullptr) {
            self->connection_.fail();
            return;
        }
        self->serverRate_ = info->sample_spec.rate;
        pa_operation* operation = info->default_sink_name != nullptr
                                      ? pa_context_get_sink_info_by_name(
                                            context, info->default_sink_name, defaultSinkInfo, self)
                                      : nullptr;
        if (operation != nullptr)
            pa_operation_unref(operation);
        else if (!self->createStream(self->serverRate_, false))
            self->connection_.fail();
    }

    static void defaultSinkInfo(pa_context* context, const pa_sink_info* info, int /*last*/,
                                void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (context != self->connection_.context() || self->stream_ != nullptr)
            return;
        if (!self->createStream(info != nullptr ? info->sample_spec.rate : self->serverRate_,
                                false))
            self->connection_.fail();
    }

    // The server moved the stream to another output, which may play at another rate.
    static void streamMoved(pa_stream* stream, void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (stream != self->stream_)
            return;
        self->moved_ = true;
        if (self->resting_.load())
            self->followOutputRate();
    }

    // While the stream rests, it is opened again at the rate of the output it was moved to.
    static void currentSinkInfo(pa_context* context, const pa_sink_info* info, int /*last*/,
                                void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (context != self->connection_.context() || self->stream_ == nullptr || info == nullptr ||
            info->sample_spec.rate == self->streamRate_)
            return;
        if (!self->resting_.load()) {
            self->moved_ = true; // playing again: the next rest looks again
            return;
        }
        self->releaseStream();
        if (!self->createStream(info->sample_spec.rate, true))
            self->connection_.fail();
    }

    static void streamState(pa_stream* stream, void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (stream != self->stream_)
            return;
        switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            self->playingRate_.store(self->streamRate_, std::memory_order_relaxed);
            if (self->reopening_) {
                self->reopening_ = false;
                break;
            }
            if (const pa_buffer_attr* buffer = pa_stream_get_buffer_attr(stream))
                self->restAfterBytes_ = std::max<std::size_t>(
                    self->restAfterBytes_, std::size_t{buffer->tlength} + buffer->minreq);
            if (self->connections_.load(std::memory_order_relaxed) > 0)
                self->fadeIn_.begin(self->streamRate_);
            self->connections_.fetch_add(1, std::memory_order_relaxed);
            self->connection_.established();
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            self->connection_.fail();
            break;
        default:
            break;
        }
    }

    // The audio callback: fills the server's own buffers straight from the renderer.
    static void streamWrite(pa_stream* stream, std::size_t requested, void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (stream != self->stream_)
            return;
        const unsigned wakeSerial = self->wakeSerial_.load();
        self->writeFrames(requested / kBytesPerFrame, -1);
        if (self->silentBytes_ >= self->restAfterBytes_)
            self->rest(wakeSerial);
    }

    static void timingUpdated(pa_stream* stream, int success, void* userdata) {
        auto* self = static_cast<PulseSoundOutput*>(userdata);
        if (stream != self->stream_)
            return;
        self->rewritePending_ = false;
        if (success)
            self->rewriteQueue();
    }
};

PulseSoundOutput::PulseSoundOutput(std::string serverAddress, std::string applicationName)
    : connection_(*this, std::move(serverAddress), std::move(applicationName), nullptr,
                  "calmfield-sound") {}

PulseSoundOutput::~PulseSoundOutput() {
    stop();
}

engine::OutputStart PulseSoundOutput::start(engine::AudioRenderer& renderer,
                                            std::chrono::milliseconds timeout) {
    stop();
    // No loop runs until the connection opens.
    history_.assign(2 * kHistoryFrames, 0.0f);
    renderer_ = &renderer;
    connections_.store(0, std::memory_order_relaxed);
    if (connection_.open(timeout))
        return files::Done{};
    renderer_ = nullptr;
    return files::failure(connection_.openFailure());
}

void PulseSoundOutput::wake() {
    wakeSerial_.fetch_add(1);
    if (!connection_.isOpen())
        return;
    pulse::PulseConnection::Lock lock(connection_);
    if (resting_.load())
        resume();
    requestRewrite();
}

void PulseSoundOutput::stop() {
    connection_.close();
    // The loop has ended: nothing calls the renderer any more.
    renderer_ = nullptr;
}

void PulseSoundOutput::contextReady(pa_context* context) {
    if (pa_operation* operation = pa_context_get_server_info(context, Callbacks::serverInfo, this))
        pa_operation_unref(operation);
    else
        connection_.fail();
}

void PulseSoundOutput::connectionLost() {
    const bool wasPlaying = playingRate_.exchange(0, std::memory_order_relaxed) != 0;
    if (wasPlaying && lossHandler_)
        lossHandler_();
}

// Opens the stream at `rate`; corked when `resting`, taking over from one that rested.
bool PulseSoundOutput::createStream(std::uint32_t rate, bool resting) {
    const pa_sample_spec format{PA_SAMPLE_FLOAT32LE, rate, 2};
    if (!pa_sample_spec_valid(&format))
        return false;
    pa_channel_map channels;
    pa_channel_map_init_stereo(&channels);
    // The stream goes wherever the default sink is, and moves with it: it names no sink and has no
    // media role, which the server's rules for music players could use to place it elsewhere. The
    // server remembers what the user set for it under the program's own name.
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, "module-stream-restore.id", CALMFIELD_APPLICATION_ID);
    stream_ =
        pa_stream_new_with_proplist(connection_.context(), "Noise", &format, &channels, properties);
    pa_proplist_free(properties);
    if (stream_ == nullptr)
        return false;
    streamRate_ = rate;
    fadeIn_.cancel();
    silentBytes_ = 0;
    writtenFrames_ = historyFrom_ = 0;
    rewritePending_ = false;
    moved_ = false;
    reopening_ = resting;
    restAfterBytes_ = pa_usec_to_bytes(toMicroseconds(kLatency + kMinimumRequest), &format);
    resting_.store(resting);
    pa_stream_set_state_callback(stream_, Callbacks::streamState, this);
    pa_stream_set_write_callback(stream_, Callbacks::streamWrite, this);
    pa_stream_set_moved_callback(stream_, Callbacks::streamMoved, this);

    pa_buffer_attr buffer;
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength =
        static_cast<std::uint32_t>(pa_usec_to_bytes(toMicroseconds(kLatency), &format));
    buffer.prebuf = static_cast<std::uint32_t>(-1);
    buffer.minreq =
        static_cast<std::uint32_t>(pa_usec_to_bytes(toMicroseconds(kMinimumRequest), &format));
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    return pa_stream_connect_playback(stream_, nullptr, &buffer,
                                      resting ? PA_STREAM_START_CORKED : PA_STREAM_NOFLAGS, nullptr,
                                      nullptr) >= 0;
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
    if (pa_operation* operation = pa_stream_cork(stream_, 1, nullptr, nullptr))
        pa_operation_unref(operation);
    else
        resting_.store(false);
    if (resting_.load() && moved_)
        followOutputRate();
}

// Until the next rest the server converts to the rate of the output the stream was moved to: a
// stream opened again while the noise plays would leave a gap.
void PulseSoundOutput::followOutputRate() {
    moved_ = false;
    if (pa_operation* operation = pa_context_get_sink_info_by_index(
            connection_.context(), pa_stream_get_device_index(stream_), Callbacks::currentSinkInfo,
            this))
        pa_operation_unref(operation);
}

// The silence left in the server's queue is rewritten by the wake that resumes, so new sound is
// not held up behind it.
void PulseSoundOutput::resume() {
    if (stream_ != nullptr && resting_.load()) {
        if (pa_operation* operation = pa_stream_cork(stream_, 0, nullptr, nullptr))
            pa_operation_unref(operation);
    }
    silentBytes_ = 0;
    resting_.store(false);
}

// Where the speakers are comes with the server's answer; the rewrite follows in rewriteQueue().
void PulseSoundOutput::requestRewrite() {
    if (stream_ == nullptr || !connection_.ready() || rewritePending_)
        return;
    if (pa_operation* operation =
            pa_stream_update_timing_info(stream_, Callbacks::timingUpdated, this)) {
        pa_operation_unref(operation);
        rewritePending_ = true;
    }
}

// Renders the queue again from shortly ahead of the speakers up to its end, so that it plays what
// the renderer plays now.
void PulseSoundOutput::rewriteQueue() {
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    if (timing == nullptr || timing->read_index_corrupt || timing->write_index_corrupt)
        return;
    const std::int64_t end = timing->write_index / std::int64_t{kBytesPerFrame};
    if (end != writtenFrames_)
        writtenFrames_ = historyFrom_ = end; // the server moved it: nothing known is queued
    const auto sinkFrames = static_cast<std::int64_t>(
        pa_usec_to_bytes(timing->sink_usec, pa_stream_get_sample_spec(stream_)) / kBytesPerFrame);
    const std::int64_t speakers = timing->read_index / std::int64_t{kBytesPerFrame} - sinkFrames;
    const std::int64_t start =
        std::max(speakers + framesIn(kChangeLead, streamRate_), std::int64_t{0});
    if (start < end) {
        if (renderer_ != nullptr)
            renderer_->rewind(static_cast<std::size_t>(end - start));
        writtenFrames_ = start;
        writeFrames(static_cast<std::size_t>(end - start), start);
    }
}

// Renders and writes `frames`, at the end of the queue or, when `seekFrame` is not negative, over
// the queue from that frame on, crossfading from what was there.
void PulseSoundOutput::writeFrames(std::size_t frames, std::int64_t seekFrame) {
    const std::int64_t fadeEnd =
        seekFrame < 0 ? seekFrame : seekFrame + framesIn(kCrossfade, streamRate_);
    while (frames > 0) {
        void* data = nullptr;
        std::size_t bytes = frames * kBytesPerFrame;
        if (pa_stream_begin_write(stream_, &data, &bytes) < 0 || data == nullptr)
            return;
        const std::size_t chunk = std::min(frames, bytes / kBytesPerFrame);
        if (chunk == 0) {
            pa_stream_cancel_write(stream_);
            return;
        }
        auto* samples = static_cast<float*>(data);
        if (renderer_ != nullptr)
            renderer_->render(samples, chunk, streamRate_);
        else
            std::fill_n(samples, chunk * 2, 0.0f);
        countSilence(chunk * kBytesPerFrame);
        fadeIn_.apply(samples, chunk);
        crossfadeFromHistory(samples, chunk, writtenFrames_, fadeEnd);
        keepHistory(samples, chunk);
        const bool seeking = seekFrame >= 0 && writtenFrames_ == seekFrame;
        if (pa_stream_write(stream_, data, chunk * kBytesPerFrame, nullptr,
                            seeking ? seekFrame * std::int64_t{kBytesPerFrame} : 0,
                            seeking ? PA_SEEK_ABSOLUTE : PA_SEEK_RELATIVE) < 0)
            return;
        writtenFrames_ += static_cast<std::int64_t>(chunk);
        frames -= chunk;
    }
}

void PulseSoundOutput::keepHistory(const float* interleavedStereo, std::size_t frames) {
    for (std::size_t n = 0; n < frames; ++n) {
        const auto slot = static_cast<std::size_t>(writtenFrames_ + static_cast<std::int64_t>(n)) %
                          kHistoryFrames;
        history_[2 * slot] = interleavedStereo[2 * n];
        history_[2 * slot + 1] = interleavedStereo[2 * n + 1];
    }
    historyFrom_ = std::max(historyFrom_, writtenFrames_ + static_cast<std::int64_t>(frames) -
                                              static_cast<std::int64_t>(kHistoryFrames));
}

// Equal power, since what was queued and what replaces it are unrelated stretches of noise. What
// is no longer known was silence, or long gone.
void PulseSoundOutput::crossfadeFromHistory(float* interleavedStereo, std::size_t frames,
                                            std::int64_t firstFrame, std::int64_t fadeEnd) const {
    const double fadeFrames = static_cast<double>(framesIn(kCrossfade, streamRate_));
    for (std::size_t n = 0; n < frames; ++n) {
        const std::int64_t frame = firstFrame + static_cast<std::int64_t>(n);
        if (frame >= fadeEnd)
            return;
        const double angle = std::numbers::pi / 2 *
                             (1.0 - static_cast<double>(fadeEnd - frame) / (fadeFrames + 1.0));
        const auto rising = static_cast<float>(std::sin(angle));
        const auto falling = static_cast<float>(std::cos(angle));
        const bool known = frame >= historyFrom_;
        const auto slot = static_cast<std::size_t>(frame) % kHistoryFrames;
        for (std::size_t side = 0; side < 2; ++side) {
            const float old = known ? history_[2 * slot + side] : 0.0f;
            float& sample = interleavedStereo[2 * n + side];
            sample = std::clamp(old * falling + sample * rising, -1.0f, 1.0f);
        }
    }
}

void PulseSoundOutput::releaseStream() {
    pulse::releaseStream(stream_);
}

void PulseSoundOutput::releaseContext() {
    releaseStream();
    streamRate_ = 0;
    playingRate_.store(0, std::memory_order_relaxed);
}

} // namespace calmfield::sound
