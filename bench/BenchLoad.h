// Frame benchmarks on a busy machine: busy processes that share the CPUs while a run lasts, the machine's load
// average, and the spread of a run's frame times.
#pragma once

#include "BenchSpread.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

extern char** environ;

namespace bench {

// Processes that spin on a CPU each from construction to destruction; the bench starts and stops its own. They are
// shells spawned afresh, not forks: a forked child would share the bench's memory copy-on-write, and every page the
// bench then writes would cost it a copy and a TLB flush on every CPU, which is the bench's doing, not the load's.
class BusyProcesses {
public:
    explicit BusyProcesses(int count) {
        char shell[] = "sh", option[] = "-c", loop[] = "while :; do :; done";
        char* argv[] = {shell, option, loop, nullptr};
        for (int i = 0; i < count; ++i) {
            pid_t pid = 0;
            if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) == 0) {
                _pids.push_back(pid);
            }
        }
    }
    ~BusyProcesses() {
        for (const pid_t pid : _pids) {
            kill(pid, SIGKILL);
        }
        for (const pid_t pid : _pids) {
            waitpid(pid, nullptr, 0);
        }
    }
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;
    int count() const { return static_cast<int>(_pids.size()); }

private:
    std::vector<pid_t> _pids;
};

constexpr int kBusyProcesses = 8;

// The one-minute load average, or -1.
inline double loadAverage() {
    double load[1] = {-1};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

// "mean / p95 (min / median / max)" in milliseconds.
inline void printSpread(const Spread& s) {
    std::printf("%6.2f / %6.2f (%5.2f / %5.2f / %6.2f)", s.mean, s.p95, s.min, s.median, s.max);
}

} // namespace bench
