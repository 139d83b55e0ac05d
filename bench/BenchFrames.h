// Frame benchmarks measured twice, on the machine as it is and with 8 busy processes of their own sharing the CPUs:
// the wall-clock and main-thread CPU time of each timed piece of work, printed as mean / p95 (min / median / max)
// beside the load average and the goal.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "BenchLoad.h"
#include "BenchProcess.h"

namespace bench {

// The calling thread's CPU time in milliseconds: it leaves out the waits for a CPU that a busy machine adds.
inline double threadMs() {
    return cpuSeconds(CLOCK_THREAD_CPUTIME_ID) * 1000.0;
}

// Wall-clock and main-thread CPU milliseconds of timed pieces of work.
struct Times {
    std::vector<double> wall;
    std::vector<double> cpu;

    template <class Work> double time(Work&& work) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadMs();
        work();
        cpu.push_back(threadMs() - cpuStart);
        wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        return wall.back();
    }
};

// "load average at the start: 0.5 1.7 4.2 (1, 5, 15 min)".
inline void printMachineLoad(const char* when) {
    double load[3] = {-1, -1, -1};
    getloadavg(load, 3);
    std::printf("load average %s: %.1f %.1f %.1f (1, 5, 15 min)\n", when, load[0], load[1], load[2]);
    std::fflush(stdout);
}

// Runs measure(loaded) twice: as the machine is, then with kBusyProcesses busy processes that stop when it returns.
template <class Measure> void quietThenLoaded(Measure&& measure) {
    for (int loaded = 0; loaded < 2; ++loaded) {
        std::unique_ptr<BusyProcesses> busy;
        if (loaded) {
            busy = std::make_unique<BusyProcesses>(kBusyProcesses);
        }
        measure(loaded != 0);
    }
}

inline const char* runName(bool loaded) {
    return loaded ? "loaded" : "quiet";
}

inline void printTimesHeader(const char* what) {
    std::printf("%-44s %-7s %-44s %-15s %-5s %s\n", what, "run", "wall ms: mean / p95 (min / median / max)",
                "cpu mean / p95", "load", "goal");
}

// One row: the wall spread, the CPU mean / p95 (when measured), the load average now (+8 with the busy processes)
// and whether the wall mean and p95 stay under goalMs (no verdict for a reference, goalMs <= 0). decimals for work
// far under a millisecond.
inline void printTimes(const char* label, bool loaded, const Times& t, double goalMs, int decimals = 2) {
    const Spread w = spreadOf(t.wall);
    std::printf("%-44s %-7s %6.*f / %6.*f (%.*f / %.*f / %.*f)", label, runName(loaded), decimals, w.mean, decimals,
                w.p95, decimals, w.min, decimals, w.median, decimals, w.max);
    if (t.cpu.empty()) {
        std::printf("  %-15s", "");
    } else {
        const Spread c = spreadOf(t.cpu);
        std::printf("  %6.*f / %6.*f", decimals, c.mean, decimals, c.p95);
    }
    // The one-minute average lags behind a short run: a loaded row names the busy processes beside it.
    std::printf(" %5.1f%s", loadAverage(), loaded ? "+8" : "  ");
    if (goalMs > 0) {
        std::printf("  < %g ms: mean %s, p95 %s", goalMs, w.mean < goalMs ? "met" : "NOT met",
                    w.p95 < goalMs ? "met" : "NOT met");
    }
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace bench
