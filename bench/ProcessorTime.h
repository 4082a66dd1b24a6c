#pragma once

#include <sys/resource.h>

#include <chrono>

namespace calmfield::bench {

using Seconds = std::chrono::duration<double>;

// The processor time this process has used so far, in user and system mode together.
inline Seconds ownProcessorTime() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return Seconds(seconds(usage.ru_utime) + seconds(usage.ru_stime));
}

} // namespace calmfield::bench
