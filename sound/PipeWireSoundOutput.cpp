#include "sound/PipeWireSoundOutput.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <spa/utils/dict.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace calmfield::sound {
namespace {

constexpr std::uint32_t kBytesPerFrame = 2 * sizeof(float);
// The graph's own default where the daemon names none.
constexpr std::uint32_t kDefaultGraphRate = 48000;
// Silence rendered after the renderer went idle before the stream rests: the tail of a fade has
// reached the sink by then.
constexpr std::uint64_t kSilentCyclesBeforeRest = 4;

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

std::uint32_t numberIn(const spa_dict* properties, const char* key, std::uint32_t fallback) {
    const char* value = properties != nullptr ? spa_dict_lookup(properties, key) : nullptr;
    if (value == nullptr)
        return fallback;
    const unsigned long number = std::strtoul(value, nullptr, 10);
    return number > 0 && number <= 1'000'000 ? static_cast<std::uint32_t>(number) : fallback;
}

} // namespace

struct PipeWireSoundOutput::Listeners {
    spa_hook core{};
    spa_hook stream{};
    pw_core_events coreEvents{};
    pw_stream_events streamEvents{};
};

// PipeWire calls these on the output's thread with the loop's lock held, except process(), which
// runs on the real-time data thread.
struct PipeWireSoundOutput::Callbacks {
    static void coreInfo(void* userdata, const pw_core_info* info) {
        auto* self = static_cast<PipeWireSoundOutput*>(userdata);
        if (self->coreInfoSeen_)
            return;
        self->coreInfoSeen_ = true;
        self->graphRate_ = numberIn(info->props, "default.clock.rate", kDefaultGraphRate);
        self->longestCycle_ =
            numberIn(info->props, "default.clock.max-quantum", kDefaultLongestCycle);
        if (!self->connectStream())
            self->lose();
        pw_thread_loop_signal(self->loop_, false);
    }

    static void coreError(void* userdata, std::uint32_t id, int /*seq*/, int /*res*/,
                          const char* /*message*/) {
        auto* self = static_cast<PipeWireSoundOutput*>(userdata);
        if (id == PW_ID_CORE)
            self->lose();
    }

    static void streamState(void* userdata, pw_stream_state /*old*/, pw_stream_state state,
                            const char* /*error*/) {
        auto* self = static_cast<PipeWireSoundOutput*>(userdata);
        switch (state) {
        case PW_STREAM_STATE_PAUSED:
        case PW_STREAM_STATE_STREAMING:
            if (!self->established_) {
                self->established_ = true;
                self->playingRate_.store(self->graphRate_, std::memory_order_relaxed);
                pw_thread_loop_signal(self->loop_, false);
            }
            break;
        case PW_STREAM_STATE_ERROR:
        case PW_STREAM_STATE_UNCONNECTED:
            self->lose();
            break;
        default:
            break;
        }
    }

    // The audio callback: one cycle's buffer straight from the renderer.
    static void process(void* userdata) {
        auto* self = static_cast<PipeWireSoundOutput*>(userdata);
        pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream_);
        if (buffer == nullptr)
            return;
        spa_data& data = buffer->buffer->datas[0];
        if (data.data == nullptr) {
            pw_stream_queue_buffer(self->stream_, buffer);
            return;
        }
        std::uint64_t frames = data.maxsize / kBytesPerFrame;
        if (buffer->requested > 0)
            frames = std::min(frames, buffer->requested);
        const unsigned wakeSerial = self->wakeSerial_.load();
        self->renderer_->render(static_cast<float*>(data.data), frames, self->graphRate_);
        data.chunk->offset = 0;
        data.chunk->stride = kBytesPerFrame;
        data.chunk->size = static_cast<std::uint32_t>(frames * kBytesPerFrame);
        pw_stream_queue_buffer(self->stream_, buffer);

        if (!self->renderer_->idle()) {
            self->silentFrames_ = 0;
            return;
        }
        self->silentFrames_ += frames;
        if (self->silentFrames_ >= kSilentCyclesBeforeRest * self->longestCycle_ &&
            !self->restAsked_.exchange(true)) {
            self->restSerial_.store(wakeSerial);
            pw_loop_signal_event(pw_thread_loop_get_loop(self->loop_), self->restEvent_);
        }
    }

    // On the output's thread: the data thread found the renderer idle.
    static void rest(void* userdata, std::uint64_t /*count*/) {
        auto* self = static_cast<PipeWireSoundOutput*>(userdata);
        if (self->stream_ == nullptr || !self->restAsked_.load())
            return;
        if (self->wakeSerial_.load() != self->restSerial_.load()) {
            self->restAsked_.store(false); // woken meanwhile
            return;
        }
        if (self->active_ && pw_stream_set_active(self->stream_, false) >= 0)
            self->active_ = false;
    }
};

PipeWireSoundOutput::PipeWireSoundOutput(std::string socketPath, std::string applicationName)
    : socketPath_(std::move(socketPath)), applicationName_(std::move(applicationName)),
      listeners_(std::make_unique<Listeners>()) {
    listeners_->coreEvents.version = PW_VERSION_CORE_EVENTS;
    listeners_->coreEvents.info = Callbacks::coreInfo;
    listeners_->coreEvents.error = Callbacks::coreError;
    listeners_->streamEvents.version = PW_VERSION_STREAM_EVENTS;
    listeners_->streamEvents.state_changed = Callbacks::streamState;
    listeners_->streamEvents.process = Callbacks::process;
}

PipeWireSoundOutput::~PipeWireSoundOutput() {
    stop();
}

engine::OutputStart PipeWireSoundOutput::start(engine::AudioRenderer& renderer,
                                               std::chrono::milliseconds timeout) {
    stop();
    initialiseOnce();
    loop_ = pw_thread_loop_new("calmfield-sound", nullptr);
    if (loop_ == nullptr)
        return files::failure(std::string(std::strerror(errno)));
    renderer_ = &renderer;
    coreInfoSeen_ = established_ = failed_ = stopping_ = false;
    silentFrames_ = 0;
    restAsked_.store(false);
    pw_loop* loop = pw_thread_loop_get_loop(loop_);
    context_ = pw_context_new(loop, nullptr, 0);
    if (context_ == nullptr || pw_thread_loop_start(loop_) < 0) {
        const std::string reason = std::strerror(errno);
        stop();
        return files::failure(reason);
    }

    pw_thread_loop_lock(loop_);
    restEvent_ = pw_loop_add_event(loop, Callbacks::rest, this);
    core_ = pw_context_connect(
        context_, pw_properties_new(PW_KEY_REMOTE_NAME, socketPath_.c_str(), nullptr), 0);
    // Connecting sets errno when it fails at once; a daemon that does not answer in time has not.
    std::string reason = std::strerror(core_ != nullptr ? ETIMEDOUT : errno);
    if (core_ != nullptr) {
        pw_core_add_listener(core_, &listeners_->core, &listeners_->coreEvents, this);
        timespec deadline{};
        pw_thread_loop_get_time(loop_, &deadline, std::chrono::nanoseconds(timeout).count());
        while (!established_ && !failed_ && pw_thread_loop_timed_wait_full(loop_, &deadline) == 0) {
        }
    }
    const bool opened = established_ && !failed_;
    pw_thread_loop_unlock(loop_);
    if (opened)
        return files::Done{};
    stop();
    return files::failure(reason);
}

// With the loop's lock held, once the daemon has said what its graph runs at.
bool PipeWireSoundOutput::connectStream() {
    // Listed in the desktop's sound settings under the program's name and icon, remembered under
    // its own name, and, with no media role, placed by no rule for music players: it plays on the
    // default output and moves with it.
    pw_properties* properties = pw_properties_new(
        PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_NAME, "Noise",
        PW_KEY_APP_NAME, applicationName_.c_str(), PW_KEY_APP_ID, CALMFIELD_APPLICATION_ID,
        PW_KEY_APP_ICON_NAME, CALMFIELD_APPLICATION_ID, PW_KEY_NODE_NAME, applicationName_.c_str(),
        "module-stream-restore.id", CALMFIELD_APPLICATION_ID, nullptr);
    pw_properties_setf(properties, PW_KEY_NODE_LATENCY, "%u/%u", longestCycle_, graphRate_);
    stream_ = pw_stream_new(core_, "Noise", properties);
    if (stream_ == nullptr)
        return false;
    pw_stream_add_listener(stream_, &listeners_->stream, &listeners_->streamEvents, this);

    spa_audio_info_raw format{};
    format.format = SPA_AUDIO_FORMAT_F32;
    format.rate = graphRate_;
    format.channels = 2;
    format.position[0] = SPA_AUDIO_CHANNEL_FL;
    format.position[1] = SPA_AUDIO_CHANNEL_FR;
    std::uint8_t podBuffer[512];
    spa_pod_builder builder{};
    spa_pod_builder_init(&builder, podBuffer, sizeof(podBuffer));
    const spa_pod* parameters[] = {
        spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &format)};
    active_ = true;
    return pw_stream_connect(stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                             static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT |
                                                          PW_STREAM_FLAG_MAP_BUFFERS |
                                                          PW_STREAM_FLAG_RT_PROCESS),
                             parameters, 1) >= 0;
}

// With the loop's lock held: the daemon or the stream has gone.
void PipeWireSoundOutput::lose() {
    if (stopping_ || failed_)
        return;
    failed_ = true;
    playingRate_.store(0, std::memory_order_relaxed);
    pw_thread_loop_signal(loop_, false);
    if (established_ && lossHandler_)
        lossHandler_();
}

void PipeWireSoundOutput::wake() {
    wakeSerial_.fetch_add(1);
    if (loop_ == nullptr)
        return;
    pw_thread_loop_lock(loop_);
    restAsked_.store(false);
    if (stream_ != nullptr && !active_ && pw_stream_set_active(stream_, true) >= 0)
        active_ = true;
    pw_thread_loop_unlock(loop_);
}

void PipeWireSoundOutput::stop() {
    if (loop_ == nullptr)
        return;
    pw_thread_loop_lock(loop_);
    stopping_ = true;
    if (stream_ != nullptr) {
        pw_stream_destroy(stream_);
        stream_ = nullptr;
    }
    if (core_ != nullptr) {
        spa_hook_remove(&listeners_->core);
        pw_core_disconnect(core_);
        core_ = nullptr;
    }
    if (restEvent_ != nullptr) {
        pw_loop_destroy_source(pw_thread_loop_get_loop(loop_), restEvent_);
        restEvent_ = nullptr;
    }
    pw_thread_loop_unlock(loop_);
    pw_thread_loop_stop(loop_);
    if (context_ != nullptr) {
        pw_context_destroy(context_);
        context_ = nullptr;
    }
    pw_thread_loop_destroy(loop_);
    loop_ = nullptr;
    // The loop has ended: nothing calls the renderer any more.
    renderer_ = nullptr;
    playingRate_.store(0, std::memory_order_relaxed);
}

} // namespace calmfield::sound
