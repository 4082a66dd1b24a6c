#pragma once

#include "platform/PulseConnection.h"
#include "platform/VolumePort.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace calmfield::platform {

// The volume of a PulseAudio (or PipeWire) server's default output sink, on the server's own
// scale, where 65536 is full volume. Once open, it follows the server: when the server goes away
// it tries again every second, finds the default sink of whichever server answers next, and sets
// it to the last volume asked for while the server was away or had no sink.
class PulseVolumePort final : public VolumePort, private pulse::PulseConnection::Client {
  public:
    static constexpr std::chrono::milliseconds kRetryInterval =
        pulse::PulseConnection::kRetryInterval;

    // An empty address means the user's default server.
    explicit PulseVolumePort(std::string serverAddress = {},
                             std::string applicationName = "Calmfield");
    ~PulseVolumePort() override;
    PulseVolumePort(const PulseVolumePort&) = delete;
    PulseVolumePort& operator=(const PulseVolumePort&) = delete;

    bool open(std::chrono::milliseconds timeout) override;
    void setVolume(std::uint32_t volume) override;

  private:
    // What is known of the default sink; touched with the main loop's lock held.
    enum class Sink { unknown, lookingUp, found, missing };
    struct Callbacks;

    // The connection's news, with the main loop's lock held.
    void contextReady(pa_context* context) override;
    void connectionLost() override;
    void releaseContext() override;

    void lookUpSink();
    void finishLookUp(bool found);
    void sendWantedVolume();

    pulse::PulseConnection connection_;
    // A server without a default sink is asked again later: one may yet be set up.
    pulse::RetryTimer lookUpTimer_{
        [](void* self) { static_cast<PulseVolumePort*>(self)->lookUpSink(); }, this};
    Sink sink_ = Sink::unknown;
    std::uint32_t sinkIndex_ = 0;
    std::uint8_t sinkChannels_ = 0;

    // The volume last asked for, and whether the server has yet to confirm it. Volume requests
    // are answered in order, so the latest one is confirmed when every request sent to this
    // server has been answered and the last answer was a success.
    std::uint32_t wantedVolume_ = 0;
    bool volumeUnconfirmed_ = false;
    unsigned volumeRequestsSent_ = 0;
    unsigned volumeRequestsAnswered_ = 0;
};

} // namespace calmfield::platform
