#pragma once

#include "platform/SystemMixer.h"

#include <chrono>
#include <cstdint>
#include <string>

struct pa_context;
struct pa_operation;
struct pa_threaded_mainloop;

namespace calmfield::platform {

// The system mixer of a PulseAudio (or PipeWire) sound server: its speakers line is the default
// output sink, whose volume control takes the server's volume scale, 65536 being full volume.
class PulseSystemMixer final : public SystemMixer {
  public:
    static constexpr std::chrono::milliseconds kAnswerTimeout{2000};

    // An empty address means the user's default server.
    explicit PulseSystemMixer(std::string serverAddress = {},
                              std::string applicationName = "Calmfield");
    ~PulseSystemMixer() override;
    PulseSystemMixer(const PulseSystemMixer&) = delete;
    PulseSystemMixer& operator=(const PulseSystemMixer&) = delete;

    bool open(std::chrono::milliseconds timeout) override;
    std::uint32_t findLine(std::uint32_t componentType) override;
    std::uint32_t findControl(std::uint32_t line, std::uint32_t controlType) override;
    bool setControlValue(std::uint32_t control, std::uint32_t value) override;

  private:
    struct Callbacks;

    bool waitFor(pa_operation* operation);
    void close();

    const std::string serverAddress_;
    const std::string applicationName_;
    pa_threaded_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;

    // Filled by the look-up callbacks, with the main loop's lock held.
    std::string defaultSinkName_;
    std::uint32_t sinkIndex_ = 0;
    std::uint8_t sinkChannels_ = 0;
    bool sinkFound_ = false;

    std::uint32_t speakersLine_ = 0; // the default sink's index + 1, or 0
};

} // namespace calmfield::platform
