#pragma once

#include "files/ProgramTitle.h"
#include "sound/PulseConnection.h"
#include "sound/VolumePort.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace calmfield::sound {

// The volume of a PulseAudio (or PipeWire) server's default output sink, on the server's own
// scale, where 65536 is full volume. From open() on, whether a server answered then or not, it
// follows the server: when the server goes away
// it tries again every second, finds the default sink of whichever server answers next, and sets
// it to the last volume asked for while the server was away or had no sink.
//
// It follows the default sink too, as headphones come and go. Nothing gets louder by itself: a
// sink that becomes the default keeps its own volume, and a volume sent to the one before but
// not yet confirmed is not carried over. Only Mute's 0 is: while it holds, each new default is
// silenced as well, and the volume that ends it goes to every sink it silenced that still exists.
class PulseVolumePort final : public VolumePort, private pulse::PulseConnection::Client {
  public:
    static constexpr std::chrono::milliseconds kRetryInterval =
        pulse::PulseConnection::kRetryInterval;

    // An empty address means the user's default server.
    explicit PulseVolumePort(std::string serverAddress = {},
                             std::string applicationName = files::kProgramTitle);
    ~PulseVolumePort() override;
    PulseVolumePort(const PulseVolumePort&) = delete;
    PulseVolumePort& operator=(const PulseVolumePort&) = delete;

    bool open(std::chrono::milliseconds timeout) override;
    void setVolume(std::uint32_t volume, bool byMute) override;
    bool settle(std::chrono::milliseconds timeout) override;

  private:
    // What is known of the default sink; everything below is touched with the main loop's lock
    // held.
    enum class Sink { unknown, lookingUp, found, missing };
    struct Callbacks;

    // The connection's news, with the main loop's lock held.
    void contextReady(pa_context* context) override;
    void connectionLost() override;

    void lookUpSink();
    void finishLookUp(const pa_sink_info* sink);
    void sendWantedVolume();
    void restoreSilencedSinks();
    void restoreAnswered();

    pulse::PulseConnection connection_;
    Sink sink_ = Sink::unknown;
    // Whether the sink below is the one controlled on this connection; it stays so during a
    // look-up, which tells whether the default has changed.
    bool sinkControlled_ = false;
    std::uint32_t sinkIndex_ = 0;
    std::uint8_t sinkChannels_ = 0;
    std::string sinkName_;
    // Look-ups are answered in order: only the answer to the latest one counts.
    unsigned lookUpsSent_ = 0;
    unsigned lookUpsAnswered_ = 0;

    // The volume last asked for; whether it has yet to be sent to the sink controlled now; and
    // whether the server has yet to confirm it. Volume requests are answered in order, so the
    // latest one is confirmed when every request sent to this server has been answered and the
    // last answer was a success.
    std::uint32_t wantedVolume_ = 0;
    bool volumeUnsent_ = false;
    bool volumeUnconfirmed_ = false;
    unsigned volumeRequestsSent_ = 0;
    unsigned volumeRequestsAnswered_ = 0;

    // Whether Mute's 0 holds, the sinks it silenced in this run, by name (which outlives a
    // restart of the server), and whether they wait for the volume that ended it.
    bool muteHolds_ = false;
    std::vector<std::string> silencedSinks_;
    bool restorePending_ = false;
    // Silenced sinks being looked up or given their volume back on this connection.
    unsigned restoresUnanswered_ = 0;
};

} // namespace calmfield::sound
