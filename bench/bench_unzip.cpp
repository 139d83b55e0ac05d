// Zip extraction: our extraction of a ~100 MB courseware package of 2000 files against Info-ZIP's
// `unzip -q -o` of the same file, with the process (and the unzip it starts) limited to 1, 2 and 8 CPUs, as
// `taskset` does. Ours runs twice: inflating every entry through zlib (as before) and through libdeflate.
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchPackage.h"
#include "net/ZipExtractor.h"
#include "net/ZipUnpacker.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 3;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

bool complete(const std::string& folder) {
    std::error_code ec;
    size_t files = 0;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        files += it->is_regular_file() ? 1 : 0;
    }
    return files == bench::kPackageFiles;
}

double timeOurs(const std::string& zip, const std::string& folder, bool libdeflate) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    ZipExtractor::setInMemoryLimit(libdeflate ? -1 : 0);
    const auto start = Clock::now();
    const bool ok = ZipUnpacker::unpack(zip, folder);
    const double elapsed = seconds(Clock::now() - start);
    return ok && complete(folder) ? elapsed : -1;
}

double timeInfoZip(const std::string& zip, const std::string& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string command = "unzip -q -o '" + zip + "' -d '" + folder + "'";
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double elapsed = seconds(Clock::now() - start);
    return status == 0 && complete(folder) ? elapsed : -1;
}

// The first cpus CPUs of those the process may use; false when it has fewer.
bool limitCpus(const cpu_set_t& all, int cpus) {
    cpu_set_t set;
    CPU_ZERO(&set);
    int taken = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE && taken < cpus; ++cpu) {
        if (CPU_ISSET(cpu, &all)) {
            CPU_SET(cpu, &set);
            ++taken;
        }
    }
    return taken == cpus && sched_setaffinity(0, sizeof set, &set) == 0;
}

} // namespace

int main() {
    char pattern[] = "/tmp/bench-unzip-XXXXXX";
    if (!mkdtemp(pattern)) {
        return 1;
    }
    const std::string root = pattern;
    const std::string zip = root + "/0102030104.zip";
    if (!bench::buildPackage(zip, "0102030104")) {
        std::fprintf(stderr, "cannot build the package\n");
        fs::remove_all(root);
        return 1;
    }
    std::printf("package: %d files, %.1f MB unpacked, %.1f MB zipped\n", bench::kPackageFiles,
                bench::kPackageFiles * bench::kPackageFileSize / (1024.0 * 1024.0),
                fs::file_size(zip) / (1024.0 * 1024.0));
    cpu_set_t all;
    sched_getaffinity(0, sizeof all, &all);
    bool ok = true;
    for (int cpus : {1, 2, 8}) {
        if (!limitCpus(all, cpus)) {
            std::printf("%d CPUs: not available here\n", cpus);
            continue;
        }
        double best[3] = {1e9, 1e9, 1e9};
        for (int run = 1; run <= kRuns; ++run) {
            const double zlib = timeOurs(zip, root + "/zlib", false);
            const double libdeflate = timeOurs(zip, root + "/ours", true);
            const double infoZip = timeInfoZip(zip, root + "/infozip");
            ok = ok && zlib > 0 && libdeflate > 0 && infoZip > 0;
            std::printf("%d CPU run %d: ours %.3f s (zlib only %.3f s), unzip %.3f s, ratio %.2f (zlib only %.2f)\n",
                        cpus, run, libdeflate, zlib, infoZip, infoZip / libdeflate, infoZip / zlib);
            best[0] = std::min(best[0], libdeflate);
            best[1] = std::min(best[1], zlib);
            best[2] = std::min(best[2], infoZip);
        }
        std::printf("%d CPU best: ours %.3f s (zlib only %.3f s), unzip %.3f s, ratio %.2f (zlib only %.2f)\n", cpus,
                    best[0], best[1], best[2], best[2] / best[0], best[2] / best[1]);
    }
    sched_setaffinity(0, sizeof all, &all);
    fs::remove_all(root);
    return ok ? 0 : 1;
}
