#pragma once

#include "recorder/ByteRing.h"
#include "recorder/SpoolFile.h"
#include "sound/CaptureDevice.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace calmfield::recorder {

// Carries what a recording captures onto the take's spool file. The audio thread only copies into
// a ring; a thread of its own writes the ring out, so a slow disk never holds up the capture.
// The take ends by itself when the disk is full or it reaches `limitBytes`.
class SpoolRecording final : public sound::CapturedBytesSink {
  public:
    // How much the ring holds: over 20 s of High quality sound for the disk to catch up.
    static constexpr std::size_t kRingBytes = std::size_t{2} << 20;
    static constexpr std::chrono::milliseconds kWriteInterval{20};

    // Appends to what `file` holds already, in frames of `frameBytes`.
    SpoolRecording(SpoolFile& file, std::size_t frameBytes, std::uint64_t limitBytes);
    ~SpoolRecording() override;
    SpoolRecording(const SpoolRecording&) = delete;
    SpoolRecording& operator=(const SpoolRecording&) = delete;

    void accept(const std::uint8_t* bytes, std::size_t count) noexcept override;

    // Takes nothing more, writes out what is left and waits until it is on the file. On a failed
    // disk the file keeps its whole frames only.
    void finish();

    // The bytes of the take: all it has taken, or after a disk failure what the file holds.
    std::uint64_t heldBytes() const;
    // Whether the take has ended by itself: the disk failed or the limit was reached.
    bool ended() const;

  private:
    void writeOut();
    bool drainRing();

    SpoolFile& file_;
    const std::size_t frameBytes_;
    const std::uint64_t limitBytes_;
    ByteRing ring_{kRingBytes};
    std::atomic<std::uint64_t> taken_;
    std::atomic<bool> limitReached_{false};
    std::atomic<bool> diskFailed_{false};
    std::atomic<bool> finishing_{false};
    std::thread writer_;
};

} // namespace calmfield::recorder
