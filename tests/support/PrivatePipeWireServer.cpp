#include "tests/support/PrivatePipeWireServer.h"

#include "tests/support/ServerTools.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace calmfield::testsupport {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);

bool onSearchPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

} // namespace

std::string PrivatePipeWireServer::missingProgram() {
    for (const char* program : {"dbus-daemon", "pipewire", "wireplumber", "pipewire-pulse"}) {
        if (!onSearchPath(program))
            return program;
    }
    return {};
}

PrivatePipeWireServer::PrivatePipeWireServer() : folder_(makeTemporaryFolder("calmfield-pw")) {
    for (const char* sub : {"runtime", "home", "config"})
        std::filesystem::create_directory(folder_ / sub);
    std::filesystem::permissions(runtimeFolder(), std::filesystem::perms::owner_all);
}

PrivatePipeWireServer::~PrivatePipeWireServer() {
    stopStack();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool PrivatePipeWireServer::start(std::uint32_t sampleRate) {
    stop();
    error_.clear();
    if (!(pipewire_ && pipewire_->running()) && !startStack(sampleRate)) {
        stopStack();
        return false;
    }
    if (sampleRate != sampleRate_) {
        error_ = "the PipeWire stack already plays at " + std::to_string(sampleRate_) + " Hz";
        return false;
    }
    pulseServer_ = startAndWaitFor({"pipewire-pulse"}, pulseSocketPath());
    if (!pulseServer_ || !waitUntilSinkAnswers()) {
        stop();
        return false;
    }
    return true;
}

void PrivatePipeWireServer::stop() {
    pulseServer_.reset(); // ends it
}

bool PrivatePipeWireServer::running() {
    return pulseServer_ && pulseServer_->running();
}

std::vector<pid_t> PrivatePipeWireServer::pids() const {
    std::vector<pid_t> started;
    for (const auto* program : {&bus_, &pipewire_, &sessionManager_, &pulseServer_}) {
        if (*program)
            started.push_back((*program)->pid());
    }
    return started;
}

bool PrivatePipeWireServer::startStack(std::uint32_t sampleRate) {
    stopStack();
    sampleRate_ = sampleRate;
    writeSettings(sampleRate);
    // WirePlumber ends at once without a session bus.
    bus_ = startAndWaitFor({"dbus-daemon", "--session", "--nofork", "--nopidfile",
                            "--address=unix:path=" + busSocketPath().string()},
                           busSocketPath());
    if (!bus_)
        return false;
    pipewire_ = startAndWaitFor({"pipewire"}, runtimeFolder() / "pipewire-0");
    if (!pipewire_)
        return false;
    sessionManager_ = ChildProcess::spawn({"wireplumber"}, stackEnvironment(), logPath());
    if (!sessionManager_)
        error_ = "wireplumber could not be run (is it installed?)";
    return sessionManager_.has_value();
}

// Starts a program of the stack and waits until it accepts connections on `socket`.
std::optional<ChildProcess>
PrivatePipeWireServer::startAndWaitFor(const std::vector<std::string>& arguments,
                                       const std::filesystem::path& socket) {
    auto program = ChildProcess::spawn(arguments, stackEnvironment(), logPath());
    if (!program) {
        error_ = arguments.front() + " could not be run (is it installed?)";
        return std::nullopt;
    }
    if (!waitUntilAccepting(*program, arguments.front(), socket, kStartTimeout, logPath(), error_))
        return std::nullopt;
    return program;
}

// pipewire-pulse answers before WirePlumber has made the sink the default one. The sink is new,
// so at full volume.
bool PrivatePipeWireServer::waitUntilSinkAnswers() {
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (pactlDefaultSink(address(), stackEnvironment(), folder_ / "default-sink.txt") ==
            sinkName())
            return true;
        std::this_thread::sleep_for(kPollInterval);
    }
    error_ = "pipewire-pulse did not offer the test sink as the default one in time:\n" + log();
    return false;
}

void PrivatePipeWireServer::stopStack() {
    pulseServer_.reset();
    sessionManager_.reset();
    pipewire_.reset();
    bus_.reset();
}

std::string PrivatePipeWireServer::log() const {
    return fileContent(logPath());
}

// Every program of the stack finds the others, and its settings, in the temporary folder only.
std::vector<std::string> PrivatePipeWireServer::stackEnvironment() const {
    std::vector<std::string> environment = environmentWithout(
        {"PULSE_", "PIPEWIRE_", "WIREPLUMBER_", "XDG_RUNTIME_DIR=", "XDG_CONFIG_HOME=",
         "XDG_STATE_HOME=", "HOME=", "DBUS_SESSION_BUS_ADDRESS=", "DISPLAY="});
    environment.push_back("HOME=" + (folder_ / "home").string());
    environment.push_back("XDG_RUNTIME_DIR=" + runtimeFolder().string());
    environment.push_back("XDG_CONFIG_HOME=" + (folder_ / "config").string());
    environment.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + busSocketPath().string());
    return environment;
}

// The null sink, and a WirePlumber that leaves the machine's sound cards and cameras alone.
void PrivatePipeWireServer::writeSettings(std::uint32_t sampleRate) const {
    const auto config = folder_ / "config";
    std::filesystem::create_directories(config / "pipewire" / "pipewire.conf.d");
    std::ofstream sink(config / "pipewire" / "pipewire.conf.d" / "calmfield-sink.conf",
                       std::ios::trunc);
    sink << "context.properties = { default.clock.rate = " << sampleRate << " }\n"
         << "context.objects = [\n"
         << "  { factory = adapter\n"
         << "    args = {\n"
         << "      factory.name = support.null-audio-sink\n"
         << "      node.name = \"" << sinkName() << "\"\n"
         << "      media.class = Audio/Sink\n"
         << "      audio.position = [ FL FR ]\n"
         << "      audio.rate = " << sampleRate << "\n"
         << "      object.linger = true\n"
         << "      monitor.channel-volumes = true\n"
         << "    }\n"
         << "  }\n"
         << "]\n";

    std::filesystem::create_directories(config / "wireplumber" / "main.lua.d");
    std::filesystem::create_directories(config / "wireplumber" / "bluetooth.lua.d");
    std::ofstream(config / "wireplumber" / "main.lua.d" / "60-calmfield-no-devices.lua",
                  std::ios::trunc)
        << "alsa_monitor.enabled = false\n"
        << "v4l2_monitor.enabled = false\n"
        << "libcamera_monitor.enabled = false\n";
    std::ofstream(config / "wireplumber" / "bluetooth.lua.d" / "60-calmfield-no-devices.lua",
                  std::ios::trunc)
        << "bluez_monitor.enabled = false\n";
}

bool PrivatePipeWireServer::setSinkVolume(std::uint32_t volume) {
    return pactlSetSinkVolume(address(), sinkName(), volume, stackEnvironment(), logPath());
}

std::vector<std::uint32_t> PrivatePipeWireServer::sinkVolume(const std::string& sink) {
    return pactlSinkVolume(address(), sink.empty() ? sinkName() : sink, stackEnvironment(),
                           folder_ / "sink-volume.txt");
}

std::vector<bool> PrivatePipeWireServer::streamsCorked() {
    return pactlStreamsCorked(address(), stackEnvironment(), folder_ / "sink-inputs.txt");
}

std::optional<std::string> PrivatePipeWireServer::pwDump() {
    const auto output = folder_ / "pw-dump.json";
    std::filesystem::remove(output);
    if (runProgram({"pw-dump"}, stackEnvironment(), output, std::chrono::seconds(5)) != 0)
        return std::nullopt;
    return fileContent(output);
}

std::optional<std::string> PrivatePipeWireServer::pactl(const std::vector<std::string>& arguments) {
    return runPactl(address(), arguments, stackEnvironment(), folder_ / "pactl.txt");
}

} // namespace calmfield::testsupport
