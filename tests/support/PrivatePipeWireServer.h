#pragma once

#include "tests/support/ChildProcess.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace calmfield::testsupport {

// A PipeWire stack of our own, serving the PulseAudio protocol through pipewire-pulse, with one
// null sink: a session bus, pipewire, WirePlumber and pipewire-pulse, all living in a temporary
// folder and reached only through its sockets. The user's own server, settings and sound devices
// are never touched. Offers what PrivatePulseServer offers, so that tests can run against both.
class PrivatePipeWireServer {
  public:
    static constexpr std::chrono::milliseconds kStartTimeout{10000};
    static constexpr std::uint32_t kFullSinkVolume = 65536;

    // The first program of the stack that cannot be found on the search path, or an empty text
    // when all of them can: without one of them PipeWire cannot be run here at all.
    static std::string missingProgram();

    // Prepares the folders; start() runs the stack.
    PrivatePipeWireServer();
    ~PrivatePipeWireServer();
    PrivatePipeWireServer(const PrivatePipeWireServer&) = delete;
    PrivatePipeWireServer& operator=(const PrivatePipeWireServer&) = delete;

    // Runs whatever of the stack is not running, the sink playing at `sampleRate`, and waits
    // until pipewire-pulse answers on its socket with the sink at full volume. Once the stack runs
    // only pipewire-pulse is started again, at the rate it began with. False when it could not be
    // started; error() then says why.
    bool start(std::uint32_t sampleRate = 48000);
    // Ends pipewire-pulse; the rest of the stack, and the sink with its volume, go on.
    void stop();
    // Ends the whole stack; start() runs it again.
    void stopStack();

    bool running();
    // Every program of the stack now started, in the order they started.
    std::vector<pid_t> pids() const;
    std::uint32_t sampleRate() const { return sampleRate_; }

    std::string address() const { return "unix:" + pulseSocketPath().string(); }
    std::string sinkName() const { return "calmfield_test_sink"; }
    std::string monitorSourceName() const { return sinkName() + ".monitor"; }

    // The sink's volume on each of its channels (65536 is full volume); empty when it could not
    // be read.
    // The volume of `sink`, the test sink unless told.
    std::vector<std::uint32_t> sinkVolume(const std::string& sink = {});
    bool setSinkVolume(std::uint32_t volume);
    // Whether each playback stream is corked, as the server reports it.
    std::vector<bool> streamsCorked();
    // What pactl run against the server with `arguments` printed; nothing when it failed.
    std::optional<std::string> pactl(const std::vector<std::string>& arguments);
    // The graph's objects as the session manager sees them (pw-dump's JSON); nothing when it
    // failed.
    std::optional<std::string> pwDump();
    // The PipeWire daemon's socket.
    std::string daemonSocket() const { return (runtimeFolder() / "pipewire-0").string(); }

    const std::string& error() const { return error_; }
    // What the stack's programs and the tools run against it printed.
    std::string log() const;

  private:
    std::filesystem::path runtimeFolder() const { return folder_ / "runtime"; }
    std::filesystem::path pulseSocketPath() const { return runtimeFolder() / "pulse" / "native"; }
    std::filesystem::path busSocketPath() const { return runtimeFolder() / "bus"; }
    std::filesystem::path logPath() const { return folder_ / "server.log"; }
    std::vector<std::string> stackEnvironment() const;
    void writeSettings(std::uint32_t sampleRate) const;
    bool startStack(std::uint32_t sampleRate);
    std::optional<ChildProcess> startAndWaitFor(const std::vector<std::string>& arguments,
                                                const std::filesystem::path& socket);
    bool waitUntilSinkAnswers();

    std::filesystem::path folder_;
    // In the order they start; they end in the reverse one.
    std::optional<ChildProcess> bus_;
    std::optional<ChildProcess> pipewire_;
    std::optional<ChildProcess> sessionManager_;
    std::optional<ChildProcess> pulseServer_;
    std::uint32_t sampleRate_ = 0;
    std::string error_;
};

} // namespace calmfield::testsupport
