#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace calmfield::engine {

// Hands the latest of a series of values from one writing thread to one reading thread without
// either ever waiting: three slots, one being written, one being read and one between them, which
// each side swaps its own for in a single atomic exchange.
template <typename Value> class LatestValue {
  public:
    // On the writing thread.
    void publish(const Value& value) noexcept {
        slots_[writing_] = value;
        writing_ = middle_.exchange(writing_ | kFresh, std::memory_order_acq_rel) & kSlot;
    }

    // On the reading thread: true, with the value in `value`, when one was published since the
    // last take.
    bool take(Value& value) noexcept {
        if ((middle_.load(std::memory_order_relaxed) & kFresh) == 0)
            return false;
        reading_ = middle_.exchange(reading_, std::memory_order_acq_rel) & kSlot;
        value = slots_[reading_];
        return true;
    }

    // On the reading thread: true when a value was published since the last take.
    bool pending() const noexcept {
        return (middle_.load(std::memory_order_acquire) & kFresh) != 0;
    }

  private:
    static constexpr std::uint8_t kSlot = 3;
    static constexpr std::uint8_t kFresh = 4;
    static_assert(std::atomic<std::uint8_t>::is_always_lock_free);

    std::array<Value, 3> slots_{};
    std::uint8_t writing_ = 0;
    std::atomic<std::uint8_t> middle_{1};
    std::uint8_t reading_ = 2;
};

} // namespace calmfield::engine
