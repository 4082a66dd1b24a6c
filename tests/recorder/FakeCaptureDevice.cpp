#include "tests/recorder/FakeCaptureDevice.h"

#include <chrono>
#include <thread>

namespace calmfield::testing {

std::vector<std::uint8_t> FakeCaptureDevice::Server::playToEnd() {
    std::vector<std::uint8_t> played;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (source != nullptr && !source->exhausted() && std::chrono::steady_clock::now() < giveUp) {
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

} // namespace calmfield::testing
