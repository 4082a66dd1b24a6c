#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <thread>

extern char** environ;

namespace calmfield::testsupport {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

std::optional<std::filesystem::path> findInPath(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return std::filesystem::path(program);
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const auto candidate = std::filesystem::path(folder.empty() ? "." : folder) / program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

std::vector<std::string> currentEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        entries.emplace_back(*entry);
    return entries;
}

std::optional<ChildProcess> ChildProcess::spawn(const std::vector<std::string>& arguments,
                                                const std::vector<std::string>& environment,
                                                const std::filesystem::path& logFile) {
    if (arguments.empty())
        return std::nullopt;
    const auto program = findInPath(arguments.front());
    if (!program)
        return std::nullopt;

    // Everything the child needs is prepared before fork: after it, only exec-safe calls.
    std::vector<std::string> argumentCopy = arguments;
    std::vector<std::string> environmentCopy = environment;
    const std::vector<char*> argv = pointersTo(argumentCopy);
    const std::vector<char*> envp = pointersTo(environmentCopy);
    const std::string programPath = program->string();
    const std::string logPath = logFile.string();
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const int nothing = ::open("/dev/null", O_RDONLY);
        if (log < 0 || nothing < 0)
            ::_exit(127);
        ::dup2(nothing, STDIN_FILENO);
        ::dup2(log, STDOUT_FILENO);
        ::dup2(log, STDERR_FILENO);
        ::execve(programPath.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    return ChildProcess(pid);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(other.pid_), exitStatus_(other.exitStatus_), waitStatus_(other.waitStatus_) {
    other.pid_ = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        terminate();
        pid_ = other.pid_;
        exitStatus_ = other.exitStatus_;
        waitStatus_ = other.waitStatus_;
        other.pid_ = -1;
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    terminate();
}

bool ChildProcess::running() {
    return pid_ > 0 && !waitForExit(std::chrono::milliseconds(0));
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    if (pid_ <= 0 || exitStatus_)
        return exitStatus_;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t result = ::waitpid(pid_, &status, WNOHANG);
        if (result == pid_ || (result < 0 && errno != EINTR)) {
            exitStatus_ = result == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            if (result == pid_)
                waitStatus_ = status;
            return exitStatus_;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(kPollInterval);
    }
}

void ChildProcess::terminate(std::chrono::milliseconds grace) {
    if (pid_ <= 0 || exitStatus_)
        return;
    ::kill(pid_, SIGTERM);
    if (waitForExit(grace))
        return;
    ::kill(pid_, SIGKILL);
    waitForExit(std::chrono::seconds(5));
}

std::optional<int> runProgram(const std::vector<std::string>& arguments,
                              const std::vector<std::string>& environment,
                              const std::filesystem::path& logFile,
                              std::chrono::milliseconds timeout) {
    auto child = ChildProcess::spawn(arguments, environment, logFile);
    if (!child)
        return std::nullopt;
    auto status = child->waitForExit(timeout);
    if (!status)
        child->terminate(std::chrono::milliseconds(100));
    return status;
}

} // namespace calmfield::testsupport
