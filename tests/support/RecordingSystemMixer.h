#pragma once

#include "platform/SystemMixer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace calmfield::testsupport {

// A system mixer that changes nothing: it offers one speakers line with a volume control (when
// reachable) and remembers every call and every value set, in order.
class RecordingSystemMixer final : public platform::SystemMixer {
  public:
    static constexpr std::uint32_t kSpeakersLine = 7;
    static constexpr std::uint32_t kVolumeControl = 9;

    explicit RecordingSystemMixer(bool reachable = true) : reachable_(reachable) {}

    bool open(std::chrono::milliseconds timeout) override;
    std::uint32_t findLine(std::uint32_t componentType) override;
    std::uint32_t findControl(std::uint32_t line, std::uint32_t controlType) override;
    bool setControlValue(std::uint32_t control, std::uint32_t value) override;

    // The names of the calls made so far: "open", "findLine", "findControl", "setControlValue".
    const std::vector<std::string>& calls() const { return calls_; }
    // Each value set, with the control it was set on.
    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& valuesSet() const {
        return valuesSet_;
    }
    // The values set on the speakers' volume control, in order.
    std::vector<std::uint32_t> speakerVolumes() const;
    void clear();

    // Runs on every call, with its name, before the call does anything.
    std::function<void(const std::string&)> onCall;

  private:
    void record(const std::string& call);

    bool reachable_;
    bool opened_ = false;
    std::vector<std::string> calls_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> valuesSet_;
};

} // namespace calmfield::testsupport
