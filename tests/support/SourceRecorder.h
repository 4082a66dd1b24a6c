#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct pa_simple;

namespace calmfield::testsupport {

// Records stereo float audio from one source of a sound server, such as a sink's monitor.
class SourceRecorder {
  public:
    SourceRecorder(const std::string& serverAddress, const std::string& source,
                   std::uint32_t sampleRate);
    ~SourceRecorder();
    SourceRecorder(const SourceRecorder&) = delete;
    SourceRecorder& operator=(const SourceRecorder&) = delete;

    bool connected() const { return connection_ != nullptr; }
    const std::string& error() const { return error_; }
    std::uint32_t sampleRate() const { return sampleRate_; }

    // The next `duration` of sound as interleaved left, right samples; empty when the recording
    // broke off (error() then says why).
    std::vector<float> record(std::chrono::milliseconds duration);

  private:
    pa_simple* connection_ = nullptr;
    std::uint32_t sampleRate_;
    std::string error_;
};

// Records `duration` from a fresh connection to the source; empty when that failed.
std::vector<float> recordSource(const std::string& serverAddress, const std::string& source,
                                std::uint32_t sampleRate, std::chrono::milliseconds duration);

// Waits at most `timeout` for sound louder than `thresholdDecibels` to reach the source, trying
// again while the server cannot be reached; true once it has.
bool waitForSound(const std::string& serverAddress, const std::string& source,
                  std::uint32_t sampleRate, std::chrono::milliseconds timeout,
                  double thresholdDecibels = -60.0);

} // namespace calmfield::testsupport
