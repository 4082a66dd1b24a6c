#include "recorder/SpoolRecording.h"

#include <algorithm>

namespace calmfield::recorder {

SpoolRecording::SpoolRecording(SpoolFile& file, std::size_t frameBytes, std::uint64_t limitBytes)
    : file_(file), frameBytes_(frameBytes), limitBytes_(limitBytes - limitBytes % frameBytes),
      taken_(file.size()), writer_([this] { writeOut(); }) {}

SpoolRecording::~SpoolRecording() {
    finish();
}

void SpoolRecording::accept(const std::uint8_t* bytes, std::size_t count) noexcept {
    if (finishing_.load(std::memory_order_relaxed) || ended())
        return;
    const std::uint64_t taken = taken_.load(std::memory_order_relaxed);
    // Whole frames only, so that a cut never shifts the frames after it.
    const std::size_t fits = ring_.writable() / frameBytes_ * frameBytes_;
    const std::uint64_t wanted =
        std::min<std::uint64_t>({count / frameBytes_ * frameBytes_, fits, limitBytes_ - taken});
    const std::size_t copied = ring_.write(bytes, static_cast<std::size_t>(wanted));
    taken_.store(taken + copied, std::memory_order_release);
    if (taken + copied == limitBytes_)
        limitReached_.store(true, std::memory_order_relaxed);
}

void SpoolRecording::finish() {
    finishing_.store(true, std::memory_order_release);
    if (writer_.joinable())
        writer_.join();
    if (diskFailed_.load(std::memory_order_acquire))
        file_.truncate(file_.size() - file_.size() % frameBytes_);
}

std::uint64_t SpoolRecording::heldBytes() const {
    if (diskFailed_.load(std::memory_order_acquire))
        return file_.size() - file_.size() % frameBytes_;
    return taken_.load(std::memory_order_acquire);
}

bool SpoolRecording::ended() const {
    return limitReached_.load(std::memory_order_relaxed) ||
           diskFailed_.load(std::memory_order_relaxed);
}

void SpoolRecording::writeOut() {
    while (true) {
        // Read the flag first: whatever was taken before it was set is in the ring by now.
        const bool last = finishing_.load(std::memory_order_acquire);
        if (!drainRing() || last)
            return;
        std::this_thread::sleep_for(kWriteInterval);
    }
}

bool SpoolRecording::drainRing() {
    for (auto region = ring_.readableRegion(); !region.empty(); region = ring_.readableRegion()) {
        if (!file_.append(region.data(), region.size())) {
            diskFailed_.store(true, std::memory_order_release);
            return false;
        }
        ring_.consume(region.size());
    }
    return true;
}

} // namespace calmfield::recorder
