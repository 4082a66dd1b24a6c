#pragma once

#include "platform/PulseMainLoop.h"
#include "platform/SystemMixer.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace calmfield::platform {

// The system mixer of a PulseAudio (or PipeWire) sound server: its speakers line is the default
// output sink, whose volume control takes the server's volume scale, 65536 being full volume.
// Once open, it follows the server: when the server goes away the mixer tries again every second,
// finds the default sink of whichever server answers next, and sets it to the last volume asked
// for while the server was away or had no sink. The line's and control's numbers stay the same
// throughout.
class PulseSystemMixer final : public SystemMixer {
  public:
    static constexpr std::chrono::milliseconds kAnswerTimeout{2000};
    static constexpr std::chrono::milliseconds kRetryInterval{1000};

    // An empty address means the user's default server.
    explicit PulseSystemMixer(std::string serverAddress = {},
                              std::string applicationName = "Calmfield");
    ~PulseSystemMixer() override;
    PulseSystemMixer(const PulseSystemMixer&) = delete;
    PulseSystemMixer& operator=(const PulseSystemMixer&) = delete;

    bool open(std::chrono::milliseconds timeout) override;
    // Waits, at most kAnswerTimeout, for the default sink to be looked up.
    std::uint32_t findLine(std::uint32_t componentType) override;
    std::uint32_t findControl(std::uint32_t line, std::uint32_t controlType) override;
    // Never waits on the server. While it is away the value is kept for its return, and counts
    // as asked.
    bool setControlValue(std::uint32_t control, std::uint32_t value) override;

  private:
    // Where the connection stands; read and written only with the main loop's lock held.
    enum class Phase { Idle, Opening, OpenFailed, LookingUp, Ready, NoSpeakers, Reconnecting };
    struct Callbacks;

    bool connectContext();
    void lookUpSpeakers();
    void finishLookUp(bool found);
    void sendWantedVolume();
    void handleFailure();
    void scheduleRetry();
    void retryNow();
    void close();

    const std::string serverAddress_;
    const std::string applicationName_;
    pa_threaded_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    pulse::RetryTimer retryTimer_{
        [](void* self) { static_cast<PulseSystemMixer*>(self)->retryNow(); }, this};
    Phase phase_ = Phase::Idle;

    // The default sink of the server now connected, once looked up.
    std::uint32_t sinkIndex_ = 0;
    std::uint8_t sinkChannels_ = 0;

    // The volume last asked for, and whether the server has yet to confirm it. Volume requests
    // are answered in order, so the latest one is confirmed when every request sent to this
    // server has been answered and the last answer was a success.
    std::uint32_t wantedVolume_ = 0;
    bool volumeUnconfirmed_ = false;
    unsigned volumeRequestsSent_ = 0;
    unsigned volumeRequestsAnswered_ = 0;

    static constexpr std::uint32_t kSpeakersLine = 1;
    std::uint32_t speakersLine_ = 0; // kSpeakersLine once the server has answered, or 0
};

} // namespace calmfield::platform
