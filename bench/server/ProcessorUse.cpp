#include "bench/server/ProcessorUse.h"

#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

namespace calmfield::bench {
namespace {

std::string contentOf(const std::filesystem::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::filesystem::path procFolder(pid_t pid) {
    return "/proc/" + std::to_string(pid);
}

// Empty when the process has ended.
std::optional<double> ticksOf(pid_t pid) {
    const std::string text = contentOf(procFolder(pid) / "stat");
    const auto nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::vector<std::string> values{std::istream_iterator<std::string>(fields), {}};
    // After the name come the state (field 3) ... user time (field 14) and system time (15).
    if (values.size() < 13)
        return std::nullopt;
    return std::stod(values[11]) + std::stod(values[12]);
}

// The scheduler's count of the process's time on a processor, the one /proc/PID/schedstat gives
// for a single thread, here for all of them, those that have ended included.
std::optional<double> nanosecondsOf(pid_t pid) {
    clockid_t clock{};
    timespec used{};
    if (::clock_getcpuclockid(pid, &clock) != 0 || ::clock_gettime(clock, &used) != 0)
        return std::nullopt;
    return static_cast<double>(used.tv_sec) * 1e9 + static_cast<double>(used.tv_nsec);
}

std::map<pid_t, double> sleepsByThreadOf(pid_t pid) {
    constexpr std::string_view kField = "voluntary_ctxt_switches:";
    std::map<pid_t, double> sleeps;
    std::error_code error;
    for (const auto& thread :
         std::filesystem::directory_iterator(procFolder(pid) / "task", error)) {
        std::ifstream status(thread.path() / "status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with(kField))
                sleeps[std::stoi(thread.path().filename().string())] =
                    std::stod(line.substr(kField.size()));
        }
    }
    return sleeps;
}

} // namespace

double ProcessorUse::wakeUps() const {
    double sum = 0.0;
    for (const auto& [thread, sleeps] : sleepsByThread)
        sum += sleeps;
    return sum;
}

// A thread that has ended meanwhile counts for nothing, one that began counts from its start.
ProcessorUse operator-(const ProcessorUse& after, const ProcessorUse& before) {
    ProcessorUse used{after.ticks - before.ticks, std::nullopt, after.sleepsByThread};
    if (after.nanoseconds && before.nanoseconds)
        used.nanoseconds = *after.nanoseconds - *before.nanoseconds;
    for (auto& [thread, sleeps] : used.sleepsByThread) {
        if (const auto earlier = before.sleepsByThread.find(thread);
            earlier != before.sleepsByThread.end())
            sleeps -= earlier->second;
    }
    return used;
}

ProcessorUse operator+(const ProcessorUse& a, const ProcessorUse& b) {
    ProcessorUse sum{a.ticks + b.ticks, std::nullopt, a.sleepsByThread};
    if (a.nanoseconds && b.nanoseconds)
        sum.nanoseconds = *a.nanoseconds + *b.nanoseconds;
    for (const auto& [thread, sleeps] : b.sleepsByThread)
        sum.sleepsByThread[thread] += sleeps;
    return sum;
}

std::optional<ProcessorUse> processorUseOf(const std::vector<pid_t>& pids) {
    ProcessorUse sum;
    for (const pid_t pid : pids) {
        const auto ticks = ticksOf(pid);
        if (!ticks)
            return std::nullopt;
        sum = sum + ProcessorUse{*ticks, nanosecondsOf(pid), sleepsByThreadOf(pid)};
    }
    return sum;
}

Share shareOf(const ProcessorUse& used, Seconds wall) {
    const double ticksPerSecond = static_cast<double>(::sysconf(_SC_CLK_TCK));
    const double ticksPer20s = used.ticks * 20.0 / wall.count();
    const double wakeUpsPerSecond = used.wakeUps() / wall.count();
    if (used.nanoseconds)
        return {100.0 * *used.nanoseconds / 1e9 / wall.count(), ticksPer20s, wakeUpsPerSecond,
                true};
    return {100.0 * used.ticks / ticksPerSecond / wall.count(), ticksPer20s, wakeUpsPerSecond,
            false};
}

} // namespace calmfield::bench
