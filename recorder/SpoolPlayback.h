#pragma once

#include "recorder/ByteRing.h"
#include "recorder/SpoolFile.h"
#include "sound/CaptureDevice.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace calmfield::recorder {

// Plays a take from its spool file: a thread of its own reads ahead into a ring, so the audio
// thread never waits for the disk.
class SpoolPlayback final : public sound::PlaybackBytesSource {
  public:
    static constexpr std::size_t kRingBytes = std::size_t{1} << 20;
    static constexpr std::chrono::milliseconds kReadInterval{20};

    // Plays the file's bytes from `from` up to `end`.
    SpoolPlayback(const SpoolFile& file, std::uint64_t from, std::uint64_t end);
    ~SpoolPlayback() override;
    SpoolPlayback(const SpoolPlayback&) = delete;
    SpoolPlayback& operator=(const SpoolPlayback&) = delete;

    std::size_t supply(std::uint8_t* bytes, std::size_t count) noexcept override;
    bool exhausted() const noexcept override;

  private:
    void readAhead();

    const SpoolFile& file_;
    std::uint64_t position_;
    const std::uint64_t end_;
    ByteRing ring_{kRingBytes};
    std::atomic<bool> allRead_{false};
    std::atomic<bool> stopping_{false};
    std::thread reader_;
};

} // namespace calmfield::recorder
