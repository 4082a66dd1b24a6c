#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// What the private sound servers of the tests share: their folders, their sockets, and reading and
// setting a sink's volume with pactl.
namespace calmfield::testsupport {

// A new, empty folder under the system's temporary folder, its name starting with `prefix`.
std::filesystem::path makeTemporaryFolder(const std::string& prefix);

// True once something accepts connections on the Unix socket at `path`.
bool socketAccepts(const std::filesystem::path& path);

class ChildProcess;

// Waits up to `timeout` until something accepts connections on `socket`. If `program`, called
// `name`, ends or the time runs out first, `error` says so, followed by the log at `logFile`.
bool waitUntilAccepting(ChildProcess& program, const std::string& name,
                        const std::filesystem::path& socket, std::chrono::milliseconds timeout,
                        const std::filesystem::path& logFile, std::string& error);

// The whole of `file`; empty when it cannot be read.
std::string fileContent(const std::filesystem::path& file);

// This process's environment without the entries whose names start with any of `prefixes`.
std::vector<std::string> environmentWithout(std::initializer_list<const char*> prefixes);

// The volume of each of the sink's channels as pactl reports it (65536 is full volume); empty
// when it could not be read. `scratchFile` takes pactl's answer.
std::vector<std::uint32_t> pactlSinkVolume(const std::string& serverAddress,
                                           const std::string& sink,
                                           const std::vector<std::string>& environment,
                                           const std::filesystem::path& scratchFile);

// The name of the server's default sink as pactl reports it; empty when it could not be read.
std::string pactlDefaultSink(const std::string& serverAddress,
                             const std::vector<std::string>& environment,
                             const std::filesystem::path& scratchFile);

// For each playback stream of the server, whether pactl reports it corked; empty when there is
// none or they could not be read.
std::vector<bool> pactlStreamsCorked(const std::string& serverAddress,
                                     const std::vector<std::string>& environment,
                                     const std::filesystem::path& scratchFile);

// What pactl, run against the server with `arguments`, printed; nothing when it failed.
std::optional<std::string> runPactl(const std::string& serverAddress,
                                    const std::vector<std::string>& arguments,
                                    const std::vector<std::string>& environment,
                                    const std::filesystem::path& scratchFile);

bool pactlSetSinkVolume(const std::string& serverAddress, const std::string& sink,
                        std::uint32_t volume, const std::vector<std::string>& environment,
                        const std::filesystem::path& logFile);

} // namespace calmfield::testsupport
