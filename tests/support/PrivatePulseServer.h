#pragma once

#include "tests/support/ChildProcess.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace calmfield::testsupport {

// A PulseAudio daemon of our own with one null sink, reached only through its own socket in a
// temporary folder: the user's own server and settings are never touched. What is played to the
// sink can be recorded from its monitor source. While nothing plays, the null sink runs ahead in
// two-second blocks, so sound started then reaches the monitor up to two seconds later.
class PrivatePulseServer {
  public:
    static constexpr std::chrono::milliseconds kStartTimeout{10000};

    // Prepares the folders; start() runs the daemon.
    PrivatePulseServer();
    ~PrivatePulseServer();
    PrivatePulseServer(const PrivatePulseServer&) = delete;
    PrivatePulseServer& operator=(const PrivatePulseServer&) = delete;

    // Runs the daemon at `sampleRate` and waits until it answers on its socket with the sink at
    // full volume. The sink plays at `sinkRate` when given, as many desktops' own do at 48 kHz
    // under a server whose default rate is 44.1 kHz. False when it could not be started; error()
    // then says why.
    bool start(std::uint32_t sampleRate = 44100, bool withSink = true, std::uint32_t sinkRate = 0);
    // Sets up the sink on a server started without it; it becomes the default one.
    bool addSink();
    // Ends the daemon; start() may run it again on the same socket.
    void stop();

    bool running();
    pid_t pid() const { return daemon_ ? daemon_->pid() : -1; }
    // The daemon, as the one program of the server (a PipeWire server has several).
    std::vector<pid_t> pids() const {
        return daemon_ ? std::vector{daemon_->pid()} : std::vector<pid_t>{};
    }
    // The sink's rate, at which its monitor is recorded.
    std::uint32_t sampleRate() const { return sinkRate_; }

    // The address clients connect to, "unix:" and the socket's path.
    std::string address() const { return "unix:" + socketPath().string(); }
    std::string sinkName() const { return "calmfield_test_sink"; }
    std::string monitorSourceName() const { return sinkName() + ".monitor"; }

    // The sink's volume on each of its channels, on the server's scale (65536 is full volume);
    // empty when it could not be read.
    // The volume of `sink`, the test sink unless told.
    std::vector<std::uint32_t> sinkVolume(const std::string& sink = {});
    bool setSinkVolume(std::uint32_t volume);
    // Whether each playback stream is corked, as the server reports it.
    std::vector<bool> streamsCorked();
    // What pactl run against the server with `arguments` printed; nothing when it failed.
    std::optional<std::string> pactl(const std::vector<std::string>& arguments);
    static constexpr std::uint32_t kFullSinkVolume = 65536;

    const std::string& error() const { return error_; }
    // What the daemon and the tools run against it printed.
    std::string log() const;

  private:
    std::filesystem::path socketPath() const { return folder_ / "runtime" / "native"; }
    std::filesystem::path logPath() const { return folder_ / "server.log"; }
    std::vector<std::string> daemonEnvironment() const;
    void writeDaemonSettings(std::uint32_t sampleRate) const;
    std::string sinkArguments() const;
    bool sinkAnswers();

    std::filesystem::path folder_;
    std::optional<ChildProcess> daemon_;
    std::uint32_t sampleRate_ = 0;
    std::uint32_t sinkRate_ = 0;
    std::string error_;
};

} // namespace calmfield::testsupport
