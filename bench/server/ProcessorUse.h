#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <vector>

namespace calmfield::bench {

using Seconds = std::chrono::duration<double>;

// Processor time used so far, in the kernel's two counts of it, and how often the threads went
// to sleep of their own accord: each such sleep ends in a wake-up.
struct ProcessorUse {
    double ticks = 0.0;                     // user and system time, /proc/PID/stat
    std::optional<double> nanoseconds{0.0}; // time on a processor, where the kernel tells it
    // The voluntary context switches of each thread now running, by thread id. The kernel keeps
    // no count for a thread that has ended.
    std::map<pid_t, double> sleepsByThread;

    double wakeUps() const;
};

ProcessorUse operator-(const ProcessorUse& after, const ProcessorUse& before);
ProcessorUse operator+(const ProcessorUse& a, const ProcessorUse& b);

// The sum over the processes; empty when one of them has ended.
std::optional<ProcessorUse> processorUseOf(const std::vector<pid_t>& pids);

// A span of processor use, per unit of time.
struct Share {
    double percent;     // of one core, from the finest count there is
    double ticksPer20s; // the unit a user sees in top and ps
    double wakeUpsPerSecond;
    bool fromNanoseconds;
};

Share shareOf(const ProcessorUse& used, Seconds wall);

} // namespace calmfield::bench
