#pragma once

#include "sound/VolumePort.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace calmfield::testsupport {

// A volume port that changes nothing: it opens when reachable, and remembers every call and every
// volume set while open, in order.
class FakeVolumePort final : public sound::VolumePort {
  public:
    explicit FakeVolumePort(bool reachable = true) : reachable_(reachable) {}

    bool open(std::chrono::milliseconds timeout) override;
    void setVolume(std::uint32_t volume, bool byMute) override;
    bool settle(std::chrono::milliseconds timeout) override;

    // The names of the calls made so far: "open", "setVolume", "settle".
    const std::vector<std::string>& calls() const { return calls_; }
    // The volumes set while open, in order.
    const std::vector<std::uint32_t>& speakerVolumes() const { return volumes_; }
    // For each of those volumes, whether it was Mute's.
    const std::vector<bool>& byMute() const { return byMute_; }
    void clear();

    // Runs on every call, with its name, before the call does anything.
    std::function<void(const std::string&)> onCall;

  private:
    void record(const std::string& call);

    bool reachable_;
    bool opened_ = false;
    std::vector<std::string> calls_;
    std::vector<std::uint32_t> volumes_;
    std::vector<bool> byMute_;
};

} // namespace calmfield::testsupport
