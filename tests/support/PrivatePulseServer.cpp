#include "tests/support/PrivatePulseServer.h"

#include <cctype>
#include <iterator>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace calmfield::testsupport {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kToolTimeout = std::chrono::seconds(10);

std::filesystem::path makeTemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "calmfield-pulse-XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a folder for the test sound server");
    return pattern;
}

// True once something accepts connections on the socket.
bool socketAccepts(const std::filesystem::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const bool accepted =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return accepted;
}

bool startsWithAny(const std::string& entry, std::initializer_list<const char*> prefixes) {
    for (const char* prefix : prefixes) {
        if (entry.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

} // namespace

PrivatePulseServer::PrivatePulseServer() : folder_(makeTemporaryFolder()) {
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

bool PrivatePulseServer::start(std::uint32_t sampleRate) {
    stop();
    error_.clear();
    sampleRate_ = sampleRate;
    writeDaemonSettings(sampleRate);

    const std::string rate = std::to_string(sampleRate);
    const std::vector<std::string> arguments{
        "pulseaudio",
        "-n",
        "--daemonize=no",
        "--exit-idle-time=-1",
        "--use-pid-file=no",
        "--disallow-exit=no",
        "--log-target=stderr",
        "--load=module-null-sink sink_name=" + sinkName() + " rate=" + rate + " channels=2",
        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socketPath().string(),
    };
    daemon_ = ChildProcess::spawn(arguments, daemonEnvironment(), logPath());
    if (!daemon_) {
        error_ = "pulseaudio could not be run (is it installed?)";
        return false;
    }
    if (!waitUntilAnswering() || !setSinkToFullVolume()) {
        stop();
        return false;
    }
    return true;
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
    std::ifstream file(logPath());
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The daemon's whole world lives in the temporary folder; nothing of the user's is inherited that
// could point it, or the tools run against it, anywhere else.
std::vector<std::string> PrivatePulseServer::daemonEnvironment() const {
    std::vector<std::string> environment;
    for (auto& entry : currentEnvironment()) {
        if (!startsWithAny(entry, {"PULSE_", "XDG_RUNTIME_DIR=", "XDG_CONFIG_HOME=", "HOME=",
                                   "DBUS_SESSION_BUS_ADDRESS=", "DISPLAY="}))
            environment.push_back(entry);
    }
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

bool PrivatePulseServer::waitUntilAnswering() {
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!daemon_->running()) {
            error_ = "pulseaudio ended at start-up:\n" + log();
            return false;
        }
        if (socketAccepts(socketPath()))
            return true;
        std::this_thread::sleep_for(kPollInterval);
    }
    error_ = "pulseaudio did not answer on its socket in time:\n" + log();
    return false;
}

bool PrivatePulseServer::setSinkToFullVolume() {
    if (setSinkVolume(kFullSinkVolume))
        return true;
    error_ = "pactl could not set the test sink's volume:\n" + log();
    return false;
}

bool PrivatePulseServer::setSinkVolume(std::uint32_t volume) {
    return runProgram({"pactl", "--server=" + address(), "set-sink-volume", sinkName(),
                       std::to_string(volume)},
                      daemonEnvironment(), logPath(), kToolTimeout) == 0;
}

// pactl reports the volume as "Volume: front-left: 31840 /  49% / -18.66 dB,   front-right: ...".
std::vector<std::uint32_t> PrivatePulseServer::sinkVolume() {
    const auto answer = folder_ / "sink-volume.txt";
    std::error_code ignored;
    std::filesystem::remove(answer, ignored);
    if (runProgram({"pactl", "--server=" + address(), "get-sink-volume", sinkName()},
                   daemonEnvironment(), answer, kToolTimeout) != 0)
        return {};
    std::ifstream file(answer);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    std::vector<std::uint32_t> volumes;
    for (std::size_t at = text.find(": "); at != std::string::npos; at = text.find(": ", at + 1)) {
        const std::size_t digits = at + 2;
        if (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
            volumes.push_back(static_cast<std::uint32_t>(std::stoul(text.substr(digits))));
    }
    return volumes;
}

} // namespace calmfield::testsupport
