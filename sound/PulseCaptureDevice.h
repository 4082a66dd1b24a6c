#pragma once

#include "files/ProgramTitle.h"
#include "sound/CaptureDevice.h"
#include "sound/PulseConnection.h"

#include <atomic>
#include <chrono>
#include <string>

namespace calmfield::sound {

// The recorder's sound through a PulseAudio (or PipeWire) server: it records the monitor of the
// default output, which holds exactly what the user hears, and plays to the default output. While
// the server is away it tries again every second.
class PulseCaptureDevice final : public CaptureDevice, private pulse::PulseConnection::Client {
  public:
    // Small capture fragments keep the take's size moving smoothly and end a take on time.
    static constexpr std::chrono::milliseconds kCaptureFragment{20};
    static constexpr std::chrono::milliseconds kPlaybackLatency{200};

    // An empty address means the user's default server.
    explicit PulseCaptureDevice(std::string serverAddress = {},
                                std::string applicationName = files::kProgramTitle);
    ~PulseCaptureDevice() override;
    PulseCaptureDevice(const PulseCaptureDevice&) = delete;
    PulseCaptureDevice& operator=(const PulseCaptureDevice&) = delete;

    bool open(std::chrono::milliseconds timeout) override;
    bool serverReachable() const override;
    bool startRecording(BytePcmFormat format, CapturedBytesSink& sink) override;
    bool startPlaying(BytePcmFormat format, PlaybackBytesSource& source) override;
    void stop() override;
    Activity activity() const override;

  private:
    struct Callbacks;

    // The connection's news, with the main loop's lock held.
    void contextReady(pa_context* context) override;
    void connectionLost() override;
    void releaseContext() override;

    template <typename Connect>
    bool startStream(const char* name, BytePcmFormat format, Activity activity, Connect connect);
    pa_stream* newStream(const char* name, BytePcmFormat format);
    void streamBroke();
    void releaseStream();
    void close();

    pulse::PulseConnection connection_;
    // Touched with the main loop's lock held.
    pa_stream* stream_ = nullptr;
    // The source the running take records, once the server has said which.
    std::string takeSource_;
    pa_operation* drain_ = nullptr;
    CapturedBytesSink* sink_ = nullptr;
    PlaybackBytesSource* source_ = nullptr;

    std::atomic<bool> reachable_{false};
    std::atomic<Activity> activity_{Activity::Idle};
};

} // namespace calmfield::sound
