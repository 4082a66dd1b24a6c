#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace calmfield::testsupport {

// A program run by a test, killed when the test process dies and reaped when this object goes.
class ChildProcess {
  public:
    // Starts `arguments[0]` (looked up in PATH) with the given environment ("NAME=value" entries),
    // its output and errors appended to `logFile`. Empty when it could not be started.
    static std::optional<ChildProcess> spawn(const std::vector<std::string>& arguments,
                                             const std::vector<std::string>& environment,
                                             const std::filesystem::path& logFile);

    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    pid_t pid() const { return pid_; }
    bool running();

    // Waits at most `timeout` for the program to end; its exit status, or empty if it goes on.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);

    // How the program ended, as waitpid tells it, once waitForExit has seen it end.
    std::optional<int> waitStatus() const { return waitStatus_; }

    // Asks the program to end, then kills it if it has not within `grace`.
    void terminate(std::chrono::milliseconds grace = std::chrono::seconds(5));

  private:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}

    pid_t pid_ = -1;
    std::optional<int> exitStatus_;
    std::optional<int> waitStatus_;
};

// Runs a program to its end; its exit status, or empty when it could not be started or did not
// end within `timeout` (it is killed then).
std::optional<int> runProgram(const std::vector<std::string>& arguments,
                              const std::vector<std::string>& environment,
                              const std::filesystem::path& logFile,
                              std::chrono::milliseconds timeout);

// The environment of this process as "NAME=value" entries.
std::vector<std::string> currentEnvironment();

} // namespace calmfield::testsupport
