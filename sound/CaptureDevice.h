#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace calmfield::sound {

// The recorder's sound: 8-bit unsigned samples, interleaved, at `rate` frames a second.
struct BytePcmFormat {
    std::uint32_t rate = 44100;
    std::uint8_t channels = 2;

    std::size_t bytesPerSecond() const { return std::size_t{rate} * channels; }
};

// Takes what a recording captures. Called on the audio thread: it must not block, allocate or
// take a lock.
class CapturedBytesSink {
  public:
    virtual ~CapturedBytesSink() = default;
    virtual void accept(const std::uint8_t* bytes, std::size_t count) noexcept = 0;
};

// Gives what a playback plays. Called on the audio thread: it must not block, allocate or take a
// lock.
class PlaybackBytesSource {
  public:
    virtual ~PlaybackBytesSource() = default;
    // Copies up to `count` bytes into `bytes` and gives how many it copied: fewer while the rest
    // is still on its way.
    virtual std::size_t supply(std::uint8_t* bytes, std::size_t count) noexcept = 0;
    // No byte will come any more.
    virtual bool exhausted() const noexcept = 0;
};

// The sound server as the recorder uses it: a recording of what the speakers play, and a
// playback to them, one at a time.
class CaptureDevice {
  public:
    enum class Activity {
        Idle,        // nothing started, or stopped
        Recording,   // a recording runs
        Playing,     // a playback runs
        PlayedToEnd, // a playback has played its last byte
        Broken,      // the recording or playback was cut off: the server went away
    };

    virtual ~CaptureDevice() = default;

    // Connects to the server, waiting at most `timeout`; false when it cannot be reached. After a
    // successful open the device follows the server: when it goes away, it tries again in the
    // background.
    virtual bool open(std::chrono::milliseconds timeout) = 0;
    // Whether the server answers now. Never waits.
    virtual bool serverReachable() const = 0;

    // Starts recording in `format` into `sink`, or playing `source` in `format`; what ran before
    // is stopped first. Neither waits for the server; false when the request could not be made.
    virtual bool startRecording(BytePcmFormat format, CapturedBytesSink& sink) = 0;
    virtual bool startPlaying(BytePcmFormat format, PlaybackBytesSource& source) = 0;
    // Ends a recording or playback; once it returns, no sink or source is called any more.
    virtual void stop() = 0;

    // Never waits.
    virtual Activity activity() const = 0;
};

} // namespace calmfield::sound
