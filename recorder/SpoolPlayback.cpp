#include "recorder/SpoolPlayback.h"

#include <algorithm>

namespace calmfield::recorder {

SpoolPlayback::SpoolPlayback(const SpoolFile& file, std::uint64_t from, std::uint64_t end)
    : file_(file), position_(from), end_(end), reader_([this] { readAhead(); }) {}

SpoolPlayback::~SpoolPlayback() {
    stopping_.store(true, std::memory_order_relaxed);
    reader_.join();
}

std::size_t SpoolPlayback::supply(std::uint8_t* bytes, std::size_t count) noexcept {
    return ring_.read(bytes, count);
}

bool SpoolPlayback::exhausted() const noexcept {
    return allRead_.load(std::memory_order_acquire) && ring_.readable() == 0;
}

void SpoolPlayback::readAhead() {
    while (position_ < end_ && !stopping_.load(std::memory_order_relaxed)) {
        const auto region = ring_.writableRegion();
        const std::uint64_t left = end_ - position_;
        const long got = region.empty()
                             ? 0
                             : file_.readAt(position_, region.data(),
                                            static_cast<std::size_t>(
                                                std::min<std::uint64_t>(region.size(), left)));
        if (got < 0)
            break; // an unreadable take ends where it could be read
        if (got == 0) {
            if (!region.empty())
                break;
            std::this_thread::sleep_for(kReadInterval);
            continue;
        }
        ring_.commit(static_cast<std::size_t>(got));
        position_ += static_cast<std::uint64_t>(got);
    }
    allRead_.store(true, std::memory_order_release);
}

} // namespace calmfield::recorder
