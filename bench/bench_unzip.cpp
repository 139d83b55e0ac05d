// Zip extraction: our extraction of a ~100 MB courseware package of 2000 files against Info-ZIP's `unzip -q -o` of
// the same file, first on CPU 0 alone (as `taskset -c 0` runs both), then on every CPU. The pairs alternate; ours runs
// in a fresh process of its own and warm in this one. Every run writes into a new empty folder and the disk is synced
// before it, outside the timing; the outputs are removed only at the end (see freshFolder). Beside them, in every
// pair, the floor: the same files written from memory, one write each.
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchCompare.h"
#include "BenchPackage.h"
#include "net/ZipUnpacker.h"

namespace fs = std::filesystem;

namespace {

constexpr int kOneCpuPairs = 5;
constexpr int kAllCpuPairs = 3;
const std::string kIdentify = "0102030104";

bool complete(const std::string& folder) {
    std::error_code ec;
    size_t files = 0;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        files += it->is_regular_file() ? 1 : 0;
    }
    return files == bench::kPackageFiles;
}

// A new empty folder under root, with nothing of the last run left to write back. Nothing is removed between runs:
// ext4 without a journal steps over every inode freed in the last minute (five, while its block is unwritten) at each
// file it creates, so a run right after the last output was removed pays for that removal, quadratically.
std::string freshFolder(const std::string& root, const char* side) {
    static int runs = 0;
    const std::string folder = root + "/" + side + std::to_string(++runs);
    fs::create_directories(folder);
    sync();
    return folder;
}

double timeOurs(const std::string& zip, const std::string& folder) {
    const auto start = bench::Clock::now();
    const bool ok = ZipUnpacker::unpack(zip, folder);
    const double elapsed = bench::millisecondsSince(start);
    return ok ? elapsed : -1;
}

double timeInfoZip(const std::string& zip, const std::string& root) {
    const std::string folder = freshFolder(root, "infozip");
    const char* argv[] = {"unzip", "-q", "-o", zip.c_str(), "-d", folder.c_str(), nullptr};
    const auto start = bench::Clock::now();
    pid_t child = 0;
    int status = -1;
    if (posix_spawnp(&child, "unzip", nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
        waitpid(child, &status, 0);
    }
    const double elapsed = bench::millisecondsSince(start);
    return status == 0 && complete(folder) ? elapsed : -1;
}

// The kernel's share: the package's folders and files made and written from memory, one write and the times each.
double timeFilesAlone(const std::vector<std::string>& contents, const std::string& root) {
    const std::string folder = freshFolder(root, "floor");
    const auto start = bench::Clock::now();
    bool ok = mkdir((folder + "/" + kIdentify).c_str(), 0777) == 0;
    for (int i = 0; ok && i < 20; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/%s/d%02d", kIdentify.c_str(), i);
        ok = mkdir((folder + name).c_str(), 0777) == 0;
    }
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    for (int i = 0; ok && i < bench::kPackageFiles; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/%s/d%02d/f%04d.txt", kIdentify.c_str(), i % 20, i);
        const int fd = open((folder + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        ok = fd >= 0 && write(fd, contents[i].data(), contents[i].size()) == ssize_t(contents[i].size());
        ok = fd >= 0 && futimens(fd, times) == 0 && close(fd) == 0 && ok;
    }
    const double elapsed = bench::millisecondsSince(start);
    return ok ? elapsed : -1;
}

bool onlyCpuZero() {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(0, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}

// The floor is taken once in every pair, just before ours: it moves with what the disk is doing.
bool compare(const char* title, int pairs, const std::string& root, const std::string& zip,
             const std::vector<std::string>& contents) {
    const std::string self = bench::selfPath();
    std::printf("%s; %s\n", title, bench::machineLoad().c_str());
    std::vector<double> floor;
    auto ours = [&](bool inFreshProcess) {
        floor.push_back(timeFilesAlone(contents, root));
        const std::string folder = freshFolder(root, "ours");
        const double ms = inFreshProcess ? bench::freshProcess(self, {"ours", zip, folder}) : timeOurs(zip, folder);
        return floor.back() > 0 && complete(folder) ? ms : -1;
    };
    bench::Pairs fresh;
    bool ok = bench::alternate(pairs, [&] { return ours(true); }, [&] { return timeInfoZip(zip, root); }, fresh);
    bench::Pairs warm;
    ok = ok && bench::alternate(pairs, [&] { return ours(false); }, [&] { return timeInfoZip(zip, root); }, warm);
    bench::printPairs("ours in a fresh process against unzip", fresh, "ms", true, "unzip / ours");
    bench::printPairs("ours warm against unzip", warm, "ms", true, "unzip / ours");
    const bench::Spread files = bench::spreadOf(floor);
    std::printf("  the files alone, written from memory (the kernel's floor), one run a pair:\n");
    std::printf("              min / median / max  %9.3f / %9.3f / %9.3f ms\n", files.min, files.median, files.max);
    std::printf("  %s\n", bench::machineLoad().c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    if (bench::runFreshChild(
            argc, argv,
            [](const std::vector<std::string>& args) {
                return args.size() == 3 && args[0] == "ours" ? timeOurs(args[1], args[2]) : -1;
            },
            status)) {
        return status;
    }
    // TMPDIR picks the disk and file system measured.
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench-unzip-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::fprintf(stderr, "cannot make a folder in %s\n", pattern.c_str());
        return 1;
    }
    const std::string root = pattern;
    const std::string zip = root + "/" + kIdentify + ".zip";
    if (!bench::buildPackage(zip, kIdentify)) {
        std::fprintf(stderr, "cannot build the package\n");
        fs::remove_all(root);
        return 1;
    }
    const std::vector<std::string> contents = bench::packageContents();
    std::printf("package: %d files, %.1f MB unpacked, %.1f MB zipped; ratio: unzip's time over ours\n",
                bench::kPackageFiles, bench::kPackageFiles * bench::kPackageFileSize / (1024.0 * 1024.0),
                fs::file_size(zip) / (1024.0 * 1024.0));
    cpu_set_t all;
    sched_getaffinity(0, sizeof all, &all);
    bool ok = onlyCpuZero() && compare("CPU 0 alone (taskset -c 0), goal: 2.0 or more", kOneCpuPairs, root, zip, contents);
    sched_setaffinity(0, sizeof all, &all);
    ok = compare("every CPU", kAllCpuPairs, root, zip, contents) && ok;
    fs::remove_all(root);
    return ok ? 0 : 1;
}
