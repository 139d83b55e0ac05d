// What the running process costs: CPU time of the process or of a thread, and its memory as /proc tells it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace bench {

// CPU time (user + sys) in seconds: CLOCK_PROCESS_CPUTIME_ID for all threads, CLOCK_THREAD_CPUTIME_ID for the caller.
inline double cpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A line of /proc/self/status given in kB ("VmRSS:", "RssAnon:", "RssFile:"), in MiB (2^20 bytes; the kernel's
// "kB" are KiB).
inline double statusMegabytes(const char* key) {
    FILE* file = std::fopen("/proc/self/status", "r");
    if (!file) {
        return 0;
    }
    char line[256];
    double kb = 0;
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, key, std::strlen(key)) == 0) {
            kb = std::atof(line + std::strlen(key));
            break;
        }
    }
    std::fclose(file);
    return kb / 1024.0;
}

} // namespace bench
