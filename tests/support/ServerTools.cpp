#include "tests/support/ServerTools.h"

#include "tests/support/ChildProcess.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace calmfield::testsupport {
namespace {

constexpr auto kToolTimeout = std::chrono::seconds(10);

} // namespace

std::filesystem::path makeTemporaryFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX"));
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a folder for the test sound server");
    return pattern;
}

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

bool waitUntilAccepting(ChildProcess& program, const std::string& name,
                        const std::filesystem::path& socket, std::chrono::milliseconds timeout,
                        const std::filesystem::path& logFile, std::string& error) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!program.running()) {
            error = name + " ended at start-up:\n" + fileContent(logFile);
            return false;
        }
        if (socketAccepts(socket))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error = name + " did not answer on its socket in time:\n" + fileContent(logFile);
    return false;
}

std::string fileContent(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> environmentWithout(std::initializer_list<const char*> prefixes) {
    std::vector<std::string> environment;
    for (auto& entry : currentEnvironment()) {
        bool excluded = false;
        for (const char* prefix : prefixes)
            excluded = excluded || entry.rfind(prefix, 0) == 0;
        if (!excluded)
            environment.push_back(entry);
    }
    return environment;
}

// pactl reports the volume as "Volume: front-left: 31840 /  49% / -18.66 dB,   front-right: ...".
std::vector<std::uint32_t> pactlSinkVolume(const std::string& serverAddress,
                                           const std::string& sink,
                                           const std::vector<std::string>& environment,
                                           const std::filesystem::path& scratchFile) {
    std::error_code ignored;
    std::filesystem::remove(scratchFile, ignored);
    if (runProgram({"pactl", "--server=" + serverAddress, "get-sink-volume", sink}, environment,
                   scratchFile, kToolTimeout) != 0)
        return {};
    std::ifstream file(scratchFile);
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

std::string pactlDefaultSink(const std::string& serverAddress,
                             const std::vector<std::string>& environment,
                             const std::filesystem::path& scratchFile) {
    std::error_code ignored;
    std::filesystem::remove(scratchFile, ignored);
    if (runProgram({"pactl", "--server=" + serverAddress, "get-default-sink"}, environment,
                   scratchFile, kToolTimeout) != 0)
        return {};
    std::ifstream file(scratchFile);
    std::string name;
    std::getline(file, name);
    return name;
}

std::vector<bool> pactlStreamsCorked(const std::string& serverAddress,
                                     const std::vector<std::string>& environment,
                                     const std::filesystem::path& scratchFile) {
    std::error_code ignored;
    std::filesystem::remove(scratchFile, ignored);
    if (runProgram({"pactl", "--server=" + serverAddress, "list", "sink-inputs"}, environment,
                   scratchFile, kToolTimeout) != 0)
        return {};
    std::ifstream file(scratchFile);
    std::vector<bool> corked;
    for (std::string line; std::getline(file, line);) {
        const std::size_t at = line.find("Corked: ");
        if (at != std::string::npos)
            corked.push_back(line.compare(at + 8, 3, "yes") == 0);
    }
    return corked;
}

std::optional<std::string> runPactl(const std::string& serverAddress,
                                    const std::vector<std::string>& arguments,
                                    const std::vector<std::string>& environment,
                                    const std::filesystem::path& scratchFile) {
    std::error_code ignored;
    std::filesystem::remove(scratchFile, ignored);
    std::vector<std::string> command{"pactl", "--server=" + serverAddress};
    command.insert(command.end(), arguments.begin(), arguments.end());
    if (runProgram(command, environment, scratchFile, kToolTimeout) != 0)
        return std::nullopt;
    return fileContent(scratchFile);
}

bool pactlSetSinkVolume(const std::string& serverAddress, const std::string& sink,
                        std::uint32_t volume, const std::vector<std::string>& environment,
                        const std::filesystem::path& logFile) {
    return runProgram({"pactl", "--server=" + serverAddress, "set-sink-volume", sink,
                       std::to_string(volume)},
                      environment, logFile, kToolTimeout) == 0;
}

} // namespace calmfield::testsupport
