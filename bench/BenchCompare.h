// Side-by-side timing for the benchmarks that hold us against a reference: the two sides run in alternate order
// (A first in even pairs, B first in odd ones), each timing its own work and its own clean-up, warm in this process
// and each side in a fresh process of its own; printed with the spread of the ratios and the machine's load.
#pragma once

#include "BenchSpread.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

using Clock = std::chrono::steady_clock;

inline double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// "load 12.5 10.2 8.1 on 8 CPUs": the load averages over 1, 5 and 15 minutes.
inline std::string machineLoad() {
    char text[128] = "?";
    if (FILE* file = std::fopen("/proc/loadavg", "r")) {
        double one = 0, five = 0, fifteen = 0;
        if (std::fscanf(file, "%lf %lf %lf", &one, &five, &fifteen) == 3) {
            std::snprintf(text, sizeof text, "%.1f %.1f %.1f", one, five, fifteen);
        }
        std::fclose(file);
    }
    return std::string("load ") + text + " on " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " CPUs";
}

// The two sides' measurements, pair by pair.
struct Pairs {
    std::vector<double> a;
    std::vector<double> b;

    // a / b of each pair, or b / a.
    std::vector<double> ratios(bool bOverA = false) const {
        std::vector<double> out;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
            out.push_back(bOverA ? b[i] / a[i] : a[i] / b[i]);
        }
        return out;
    }
};

// count pairs of a() and b(), alternating which goes first; each returns what it measured, negative on failure.
inline bool alternate(int count, const std::function<double()>& a, const std::function<double()>& b, Pairs& out) {
    for (int i = 0; i < count; ++i) {
        double first = 0;
        double second = 0;
        if (i % 2 == 0) {
            first = a();
            second = b();
        } else {
            second = b();
            first = a();
        }
        if (first < 0 || second < 0) {
            return false;
        }
        out.a.push_back(first);
        out.b.push_back(second);
    }
    return true;
}

// This program's own file, for freshProcess.
inline std::string selfPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

// Runs this program again as "<self> --fresh <args...>" and returns what it printed; false when it could not be
// started or did not exit with 0.
inline bool freshProcessOutput(const std::string& self, const std::vector<std::string>& args, std::string& output) {
    std::vector<std::string> words{self, "--fresh"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    output.clear();
    char chunk[256];
    ssize_t got = 0;
    while (spawned == 0 && (got = read(fds[0], chunk, sizeof chunk)) > 0) {
        output.append(chunk, static_cast<size_t>(got));
    }
    close(fds[0]);
    int status = 0;
    return spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The one number such a child prints; negative on failure.
inline double freshProcess(const std::string& self, const std::vector<std::string>& args) {
    std::string output;
    return freshProcessOutput(self, args, output) ? std::strtod(output.c_str(), nullptr) : -1;
}

// In the child of freshProcess: prints what measure gives (negative fails the child). False when this process was
// not started as such a child.
inline bool runFreshChild(int argc, char** argv, const std::function<double(const std::vector<std::string>&)>& measure,
                          int& status) {
    if (argc < 2 || std::strcmp(argv[1], "--fresh") != 0) {
        return false;
    }
    const double value = measure(std::vector<std::string>(argv + 2, argv + argc));
    std::printf("%.6f\n", value);
    status = value < 0 ? 1 : 0;
    return true;
}

// "  <label>: ours min / median / max ..., reference ..., ratio ..." for one set of pairs.
inline void printPairs(const char* label, const Pairs& pairs, const char* unit, bool bOverA, const char* goal) {
    const Spread a = spreadOf(pairs.a);
    const Spread b = spreadOf(pairs.b);
    const Spread r = spreadOf(pairs.ratios(bOverA));
    std::printf("  %s, %zu alternated pairs:\n", label, pairs.a.size());
    std::printf("    ours      min / median / max  %9.3f / %9.3f / %9.3f %s\n", a.min, a.median, a.max, unit);
    std::printf("    reference min / median / max  %9.3f / %9.3f / %9.3f %s\n", b.min, b.median, b.max, unit);
    std::printf("    ratio     min / median / max  %9.2f / %9.2f / %9.2f   (%s)\n", r.min, r.median, r.max, goal);
}

} // namespace bench
