#pragma once

#include "tests/support/PrivatePipeWireServer.h"
#include "tests/support/PrivatePulseServer.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

// The private sound servers that end-to-end tests run against: PulseAudio, which every test
// machine must have, and PipeWire serving the same protocol, tried where it can be run.
namespace calmfield::testsupport {

using SoundServers = ::testing::Types<PrivatePulseServer, PrivatePipeWireServer>;

struct SoundServerNames {
    template <typename Server> static std::string GetName(int) {
        return std::is_same_v<Server, PrivatePipeWireServer> ? "PipeWire" : "PulseAudio";
    }
};

// A test fixture holding a private server of type `Server`.
template <typename Server> class ServerTest : public ::testing::Test {
  protected:
    // Starts the server at `sampleRate`. A PipeWire stack that cannot be run here skips the test
    // with the reason; anything else that fails fails it.
    void startServer(std::uint32_t sampleRate) {
        if (server.start(sampleRate))
            return;
        if constexpr (std::is_same_v<Server, PrivatePipeWireServer>)
            GTEST_SKIP() << "PipeWire cannot be run here: " << server.error();
        else
            FAIL() << server.error();
    }

    Server server;
};

} // namespace calmfield::testsupport
