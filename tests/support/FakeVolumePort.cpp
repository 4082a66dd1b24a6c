#include "tests/support/FakeVolumePort.h"

namespace calmfield::testsupport {

void FakeVolumePort::record(const std::string& call) {
    calls_.push_back(call);
    if (onCall)
        onCall(call);
}

bool FakeVolumePort::open(std::chrono::milliseconds) {
    record("open");
    opened_ = reachable_;
    return opened_;
}

void FakeVolumePort::setVolume(std::uint32_t volume, bool byMute) {
    record("setVolume");
    if (opened_) {
        volumes_.push_back(volume);
        byMute_.push_back(byMute);
    }
}

bool FakeVolumePort::settle(std::chrono::milliseconds) {
    record("settle");
    return opened_;
}

void FakeVolumePort::clear() {
    calls_.clear();
    volumes_.clear();
    byMute_.clear();
}

} // namespace calmfield::testsupport
