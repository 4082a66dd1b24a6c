#pragma once

#include <atomic>
#include <cstdint>

namespace calmfield::engine {

// What the user-interface thread asks of one channel, read by the audio thread without locks.
struct ChannelControls {
    std::atomic<bool> playing{false};
    std::atomic<float> leftGain{1.0f};
    std::atomic<float> rightGain{1.0f};
    std::atomic<std::uint32_t> frequency{0};
    // A position request: the request's serial number in the high half, the frame in the low half.
    std::atomic<std::uint64_t> seek{0};

    static_assert(std::atomic<float>::is_always_lock_free);
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
};

} // namespace calmfield::engine
