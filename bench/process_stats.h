#pragma once

// The measuring programs' view of their own process (Linux).
#include <cstdlib>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <time.h>

namespace zelk20::bench {

// Resident memory in KiB.
inline long rss_kib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

// CPU time used so far, user and system, in seconds.
inline double cpu_seconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// CPU time the calling thread has used so far, in seconds.
inline double thread_cpu_seconds() {
    timespec used{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

}  // namespace zelk20::bench
