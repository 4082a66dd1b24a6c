#pragma once

#include "tests/support/PrivatePipeWireServer.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/SourceRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <type_traits>
#include <vector>

// The private sound servers that end-to-end tests run against: PulseAudio, which every test
// machine must have, and PipeWire serving the same protocol, tried where it can be run.
namespace calmfield::testsupport {

using SoundServers = ::testing::Types<PrivatePulseServer, PrivatePipeWireServer>;

// A test fixture holding a private server of type `Server`.
template <typename Server> class ServerTest : public ::testing::Test {
  protected:
    // Starts the server at `sampleRate`. Where PipeWire is not installed the test is skipped with
    // the reason; a server that is there but fails to start fails it.
    void startServer(std::uint32_t sampleRate) {
        if constexpr (std::is_same_v<Server, PrivatePipeWireServer>) {
            if (const std::string missing = Server::missingProgram(); !missing.empty())
                GTEST_SKIP() << "PipeWire cannot be run here: " << missing << " is not installed";
        }
        if (!server.start(sampleRate))
            FAIL() << server.error();
    }

    // Whether sound reaches the server's sink within `timeout`.
    bool soundReachesSink(std::chrono::milliseconds timeout) {
        return waitForSound(server.address(), server.monitorSourceName(), server.sampleRate(),
                            timeout);
    }

    // Waits at most `timeout` for the server to report one playback stream, corked or not.
    bool waitForStream(bool corked, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (server.streamsCorked() != std::vector<bool>{corked}) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }

    Server server;
};

} // namespace calmfield::testsupport
