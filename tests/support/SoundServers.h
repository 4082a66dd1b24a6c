#pragma once

#include "tests/support/PrivatePipeWireServer.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/SourceRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
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

    // Ends every program of the server, whatever a client is connected to, and starts it again.
    bool restartServer() {
        if constexpr (std::is_same_v<Server, PrivatePipeWireServer>)
            server.stopStack();
        else
            server.stop();
        return server.start(server.sampleRate());
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

    // A second null sink, as headphones plugged in beside the speakers (the test sink), which
    // stay the default one. False when it could not be added.
    bool addHeadphones() {
        const auto module =
            server.pactl({"load-module", "module-null-sink", "sink_name=" + headphones,
                          "rate=" + std::to_string(server.sampleRate()), "channels=2"});
        headphonesModule = module ? module->substr(0, module->find('\n')) : std::string();
        return module && makeDefault(server.sinkName());
    }
    bool removeHeadphones() {
        return server.pactl({"unload-module", headphonesModule}).has_value();
    }

    // Makes `sink` the default one, and waits until the server says so.
    bool makeDefault(const std::string& sink) {
        if (!server.pactl({"set-default-sink", sink}))
            return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (server.pactl({"get-default-sink"}).value_or("") != sink + "\n") {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    Server server;
    const std::string headphones = "calmfield_test_headphones";
    std::string headphonesModule;
};

} // namespace calmfield::testsupport
