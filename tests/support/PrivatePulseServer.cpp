#include "tests/support/PrivatePulseServer.h"

#include "tests/support/ServerTools.h"

#include <fstream>
#include <sstream>

namespace calmfield::testsupport {
PrivatePulseServer::PrivatePulseServer() : folder_(makeTemporaryFolder("calmfield-pulse")) {
    for (const char* sub : {"runtime", "state", "home", "config"})
        std::filesystem::create_directory(folder_ / sub);
    // The daemon refuses a runtime folder that others can read.
    std::filesystem::permissions(folder_ / "runtime", std::filesystem::perms::owner_all);
}

PrivatePulseServer::~PrivatePulseServer() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool PrivatePulseServer::start(std::uint32_t sampleRate, bool withSink, std::uint32_t sinkRate) {
    stop();
    error_.clear();
    sampleRate_ = sampleRate;
    sinkRate_ = sinkRate != 0 ? sinkRate : sampleRate;
    writeDaemonSettings(sampleRate);

    std::vector<std::string> arguments{
        "pulseaudio",
        "-n",
        "--daemonize=no",
        "--exit-idle-time=-1",
        "--use-pid-file=no",
        "--disallow-exit=no",
        "--log-target=stderr",
        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socketPath().string(),
    };
    if (withSink)
        arguments.push_back("--load=module-null-sink " + sinkArguments());
    daemon_ = ChildProcess::spawn(arguments, daemonEnvironment(), logPath());
    if (!daemon_) {
        error_ = "pulseaudio could not be run (is it installed?)";
        return false;
    }
    if (!waitUntilAccepting(*daemon_, "pulseaudio", socketPath(), kStartTimeout, logPath(),
                            error_) ||
        (withSink && !sinkAnswers())) {
        stop();
        return false;
    }
    return true;
}

bool PrivatePulseServer::addSink() {
    std::vector<std::string> command{"pactl", "--server=" + address(), "load-module",
                                     "module-null-sink"};
    std::istringstream words(sinkArguments());
    for (std::string word; words >> word;)
        command.push_back(word);
    return runProgram(command, daemonEnvironment(), logPath(), std::chrono::seconds(5)) == 0 &&
           sinkAnswers();
}

std::string PrivatePulseServer::sinkArguments() const {
    return "sink_name=" + sinkName() + " rate=" + std::to_string(sinkRate_) + " channels=2";
}

void PrivatePulseServer::stop() {
    if (daemon_) {
        daemon_->terminate();
        daemon_.reset();
    }
}

bool PrivatePulseServer::running() {
    return daemon_ && daemon_->running();
}

std::string PrivatePulseServer::log() const {
    return fileContent(logPath());
}

// The daemon's whole world lives in the temporary folder; nothing of the user's is inherited that
// could point it, or the tools run against it, anywhere else.
std::vector<std::string> PrivatePulseServer::daemonEnvironment() const {
    std::vector<std::string> environment = environmentWithout(
        {"PULSE_",
         "XDG_RUNTIME_DIR=", "XDG_CONFIG_HOME=", "HOME=", "DBUS_SESSION_BUS_ADDRESS=", "DISPLAY="});
    environment.push_back("HOME=" + (folder_ / "home").string());
    environment.push_back("XDG_RUNTIME_DIR=" + (folder_ / "runtime").string());
    environment.push_back("XDG_CONFIG_HOME=" + (folder_ / "config").string());
    environment.push_back("PULSE_RUNTIME_PATH=" + (folder_ / "runtime").string());
    environment.push_back("PULSE_STATE_PATH=" + (folder_ / "state").string());
    environment.push_back("PULSE_CONFIG=" + (folder_ / "daemon.conf").string());
    // Keeps the daemon off the user's session bus, where it would announce itself as a server.
    environment.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + (folder_ / "no-bus").string());
    return environment;
}

void PrivatePulseServer::writeDaemonSettings(std::uint32_t sampleRate) const {
    std::ofstream settings(folder_ / "daemon.conf", std::ios::trunc);
    settings << "default-sample-format = s16le\n"
             << "default-sample-rate = " << sampleRate << "\n"
             << "alternate-sample-rate = " << sampleRate << "\n"
             << "default-sample-channels = 2\n"
             << "flat-volumes = no\n";
}

// A new null sink starts at full volume. Setting it here could undo a volume that a client
// reconnecting at once has already set.
bool PrivatePulseServer::sinkAnswers() {
    if (!sinkVolume().empty())
        return true;
    error_ = "pactl could not read the test sink's volume:\n" + log();
    return false;
}

bool PrivatePulseServer::setSinkVolume(std::uint32_t volume) {
    return pactlSetSinkVolume(address(), sinkName(), volume, daemonEnvironment(), logPath());
}

std::vector<std::uint32_t> PrivatePulseServer::sinkVolume(const std::string& sink) {
    return pactlSinkVolume(address(), sink.empty() ? sinkName() : sink, daemonEnvironment(),
                           folder_ / "sink-volume.txt");
}

std::vector<bool> PrivatePulseServer::streamsCorked() {
    return pactlStreamsCorked(address(), daemonEnvironment(), folder_ / "sink-inputs.txt");
}

std::optional<std::string> PrivatePulseServer::pactl(const std::vector<std::string>& arguments) {
    return runPactl(address(), arguments, daemonEnvironment(), folder_ / "pactl.txt");
}

} // namespace calmfield::testsupport
