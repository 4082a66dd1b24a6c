#include "tests/support/SourceRecorder.h"

#include "tests/support/SignalAnalysis.h"

#include <pulse/error.h>
#include <pulse/simple.h>
#include <pulse/timeval.h>

#include <thread>

namespace calmfield::testsupport {
namespace {

constexpr std::chrono::milliseconds kFragment{20};
constexpr std::chrono::milliseconds kListenStep{100};

} // namespace

SourceRecorder::SourceRecorder(const std::string& serverAddress, const std::string& source,
                               std::uint32_t sampleRate)
    : sampleRate_(sampleRate) {
    const pa_sample_spec format{PA_SAMPLE_FLOAT32LE, sampleRate, 2};
    // Small fragments, so that what is read was played just before.
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.fragsize = static_cast<std::uint32_t>(
        pa_usec_to_bytes(static_cast<pa_usec_t>(kFragment.count()) * PA_USEC_PER_MSEC, &format));
    int failure = 0;
    connection_ = pa_simple_new(serverAddress.c_str(), "Calmfield tests", PA_STREAM_RECORD,
                                source.c_str(), "Recording", &format, nullptr, &buffer, &failure);
    if (connection_ == nullptr)
        error_ = pa_strerror(failure);
}

SourceRecorder::~SourceRecorder() {
    if (connection_ != nullptr)
        pa_simple_free(connection_);
}

std::vector<float> SourceRecorder::record(std::chrono::milliseconds duration) {
    if (connection_ == nullptr)
        return {};
    const auto frames = static_cast<std::size_t>(duration.count()) * sampleRate_ / 1000;
    std::vector<float> samples(frames * 2);
    int failure = 0;
    if (pa_simple_read(connection_, samples.data(), samples.size() * sizeof(float), &failure) < 0) {
        error_ = pa_strerror(failure);
        return {};
    }
    return samples;
}

std::vector<float> recordSource(const std::string& serverAddress, const std::string& source,
                                std::uint32_t sampleRate, std::chrono::milliseconds duration) {
    SourceRecorder recorder(serverAddress, source, sampleRate);
    return recorder.record(duration);
}

bool waitForSound(const std::string& serverAddress, const std::string& source,
                  std::uint32_t sampleRate, std::chrono::milliseconds timeout,
                  double thresholdDecibels) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        SourceRecorder recorder(serverAddress, source, sampleRate);
        while (recorder.connected() && std::chrono::steady_clock::now() < deadline) {
            const auto samples = recorder.record(kListenStep);
            if (samples.empty())
                break;
            if (rmsDecibels(samples) > thresholdDecibels)
                return true;
        }
        std::this_thread::sleep_for(kListenStep);
    }
    return false;
}

} // namespace calmfield::testsupport
