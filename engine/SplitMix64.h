#pragma once

#include <cstdint>

namespace calmfield::engine {

// A small, fast random source that needs no more than one word of state: each value is the
// counter's next step, well mixed. Never blocks or allocates.
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) noexcept : state_(seed) {}

    std::uint64_t next() noexcept {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double unit() noexcept { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

  private:
    std::uint64_t state_;
};

} // namespace calmfield::engine
