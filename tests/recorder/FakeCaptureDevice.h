#pragma once

#include "sound/CaptureDevice.h"

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace calmfield::testsupport {

// A sound server in the test's hands: it captures the bytes the test gives it and plays out
// whatever the element hands it when the test asks.
class FakeCaptureDevice final : public sound::CaptureDevice {
  public:
    // What every device made for a test shares, so the test can steer the element's device.
    struct Server {
        bool reachable = true;
        Activity activity = Activity::Idle;
        sound::BytePcmFormat format;
        sound::CapturedBytesSink* sink = nullptr;
        sound::PlaybackBytesSource* source = nullptr;

        // Hands `bytes` to the running recording, as the server's callback would.
        void capture(const std::vector<std::uint8_t>& bytes) {
            if (sink != nullptr)
                sink->accept(bytes.data(), bytes.size());
        }
        // Plays out everything the running playback has, then reports its end.
        std::vector<std::uint8_t> playToEnd() {
            std::vector<std::uint8_t> played;
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (source != nullptr && !source->exhausted() &&
                   std::chrono::steady_clock::now() < giveUp) {
                std::uint8_t chunk[4096];
                const std::size_t got = source->supply(chunk, sizeof chunk);
                played.insert(played.end(), chunk, chunk + got);
                if (got == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (source != nullptr)
                activity = Activity::PlayedToEnd;
            return played;
        }
        // The server goes away mid-stream.
        void goAway() {
            reachable = false;
            if (sink != nullptr || source != nullptr)
                activity = Activity::Broken;
            sink = nullptr;
            source = nullptr;
        }
    };

    explicit FakeCaptureDevice(Server& server) : server_(server) {}
    ~FakeCaptureDevice() override { stop(); }

    bool open(std::chrono::milliseconds) override { return server_.reachable; }
    bool serverReachable() const override { return server_.reachable; }
    bool startRecording(sound::BytePcmFormat format, sound::CapturedBytesSink& sink) override {
        return start(format, Activity::Recording) && (server_.sink = &sink);
    }
    bool startPlaying(sound::BytePcmFormat format, sound::PlaybackBytesSource& source) override {
        return start(format, Activity::Playing) && (server_.source = &source);
    }
    void stop() override {
        server_.sink = nullptr;
        server_.source = nullptr;
        server_.activity = Activity::Idle;
    }
    Activity activity() const override { return server_.activity; }

  private:
    bool start(sound::BytePcmFormat format, Activity activity) {
        stop();
        if (!server_.reachable)
            return false;
        server_.format = format;
        server_.activity = activity;
        return true;
    }

    Server& server_;
};

} // namespace calmfield::testsupport
