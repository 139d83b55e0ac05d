#include "net/ZipUnpacker.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>
#include <unordered_map>
#include <vector>

#include "net/NetLimits.h"
#include "base/Log.h"
#include "net/ZipExtractor.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxWorkers = 8;
// Below this many entries per worker another thread costs more than it saves.
constexpr size_t kEntriesPerWorker = 16;

std::mutex g_hookMutex;
std::function<void(int)> g_entryHook;
std::function<void()> g_swapHook;

struct PlannedEntry {
    int index;
    std::string name;
    int64_t size;
};

// Shared by the workers of one extraction.
struct Extraction {
    std::string zipPath;
    std::string staging;
    const std::vector<PlannedEntry>* plan = nullptr;
    std::function<void(int)> hook;
    std::atomic<size_t> next{0};
    std::atomic<int> done{0};
    std::atomic<bool> failed{false};
    std::mutex failureMutex;
    std::string failure;
};

struct Worker {
    Extraction* job = nullptr;
    std::unique_ptr<ZipExtractor> extractor;
    pthread_t thread{};
    bool started = false;
};

void fail(Extraction& job, const std::string& text) {
    std::lock_guard<std::mutex> lock(job.failureMutex);
    if (job.failure.empty()) {
        job.failure = text;
    }
    job.failed = true;
}

void runWorker(Extraction& job, ZipExtractor& extractor) {
    extractor.setBaseFolder(job.staging);
    const std::vector<PlannedEntry>& plan = *job.plan;
    while (!job.failed) {
        const size_t i = job.next++;
        if (i >= plan.size()) {
            return;
        }
        const unsigned result = extractor.unzipItem(plan[i].index, plan[i].name);
        if (result != ZipExtractor::kOk) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%x", result);
            fail(job, "entry " + plan[i].name + " failed: " + code);
            return;
        }
        const int count = ++job.done;
        if (job.hook) {
            job.hook(count);
        }
    }
}

void* workerMain(void* arg) {
    auto* worker = static_cast<Worker*>(arg);
    runWorker(*worker->job, *worker->extractor);
    return nullptr;
}

bool lstatPath(const std::string& path, struct stat& st) {
    return lstat(path.c_str(), &st) == 0;
}

void removeTree(const std::string& path) {
    struct stat st;
    if (!lstatPath(path, st)) {
        return;
    }
    std::error_code ec;
    // remove_all removes links as links: nothing outside the folder is touched.
    fs::remove_all(path, ec);
    if (ec) {
        engine::log("unzip: cannot remove %s: %s", path.c_str(), ec.message().c_str());
    }
}

// Entries outside onlyUnder (when not empty) are skipped with a log line.
std::vector<PlannedEntry> planEntries(ZipExtractor& archive, const std::string& onlyUnder, bool& ok) {
    std::vector<PlannedEntry> plan;
    std::unordered_map<std::string, size_t> byName;
    ok = true;
    for (int i = 0; i < archive.getEntryCount(); ++i) {
        ZipEntry entry;
        const unsigned result = archive.getZipItem(i, entry);
        if (result != ZipExtractor::kOk) {
            engine::log("unzip: entry %d unreadable: 0x%x", i, result);
            ok = false;
            return plan;
        }
        if (!ZipExtractor::isSafeEntryName(entry.name)) {
            engine::log("unzip: skipped unsafe entry \"%s\"", entry.name.c_str());
            continue;
        }
        if (entry.special) {
            engine::log("unzip: skipped special entry \"%s\"", entry.name.c_str());
            continue;
        }
        if (!onlyUnder.empty() && entry.name.compare(0, onlyUnder.size(), onlyUnder) != 0) {
            engine::log("unzip: skipped entry \"%s\" outside %s", entry.name.c_str(), onlyUnder.c_str());
            continue;
        }
        std::string key = entry.name;
        if (key.back() == '/') {
            key.pop_back();
        }
        auto found = byName.find(key);
        if (found != byName.end()) {
            plan[found->second].index = -1;
        }
        byName[key] = plan.size();
        plan.push_back({i, entry.name, entry.uncSize});
    }
    plan.erase(std::remove_if(plan.begin(), plan.end(), [](const PlannedEntry& e) { return e.index < 0; }), plan.end());
    return plan;
}

// The CPUs this process may run on.
size_t usableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        return std::max(1, CPU_COUNT(&set));
    }
    return std::max<size_t>(1, std::thread::hardware_concurrency());
}

int64_t declaredTotal(const std::vector<PlannedEntry>& plan) {
    int64_t total = 0;
    for (const PlannedEntry& entry : plan) {
        total += std::clamp<int64_t>(entry.size, 0, netlimits::kZipContentBytes);
    }
    return total;
}

// What an archive of that size may unpack to: a zip of zeros declares a thousand times its size.
bool withinContentCap(const std::string& zipPath, int64_t total) {
    std::error_code ec;
    const auto packed = static_cast<int64_t>(fs::file_size(zipPath, ec));
    const int64_t cap = std::min(netlimits::kZipContentBytes,
                                 std::max(netlimits::kZipContentFloor,
                                          (ec ? 0 : packed) * netlimits::kZipContentRatio));
    if (total > cap) {
        engine::log("unzip: %s declares %lld bytes, more than the %lld its size allows", zipPath.c_str(),
                    static_cast<long long>(total), static_cast<long long>(cap));
        return false;
    }
    return true;
}

bool fitsOnDisk(const std::string& folder, int64_t total) {
    struct statvfs disk;
    if (statvfs(folder.c_str(), &disk) != 0) {
        return true;
    }
    const auto free = static_cast<int64_t>(disk.f_bavail) * static_cast<int64_t>(disk.f_frsize);
    if (total > free) {
        engine::log("unzip: %lld bytes do not fit in the %lld free on the disk", static_cast<long long>(total),
                    static_cast<long long>(free));
        return false;
    }
    return true;
}

bool extractAll(Extraction& job, ZipExtractor& archive) {
    const size_t cores = usableCores();
    const size_t wanted = std::min({kMaxWorkers, cores, std::max<size_t>(1, job.plan->size() / kEntriesPerWorker)});
    std::vector<std::unique_ptr<Worker>> workers;
    for (size_t i = 1; i < wanted; ++i) {
        auto worker = std::make_unique<Worker>();
        worker->job = &job;
        worker->extractor = archive.openAgain();
        if (!worker->extractor) {
            break;
        }
        worker->started = pthread_create(&worker->thread, nullptr, workerMain, worker.get()) == 0;
        if (!worker->started) {
            break;
        }
        workers.push_back(std::move(worker));
    }
    runWorker(job, archive);
    for (auto& worker : workers) {
        pthread_join(worker->thread, nullptr);
    }
    if (job.failed) {
        engine::log("unzip: %s: %s", job.zipPath.c_str(), job.failure.c_str());
        return false;
    }
    return true;
}

std::string stagingFolder(const std::string& base, const std::string& zipPath) {
    const size_t slash = zipPath.find_last_of('/');
    const std::string zipName = slash == std::string::npos ? zipPath : zipPath.substr(slash + 1);
    return base + "." + zipName + ".part/";
}

} // namespace

void ZipUnpacker::setEntryHook(std::function<void(int)> hook) {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_entryHook = std::move(hook);
}

void ZipUnpacker::setSwapHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_swapHook = std::move(hook);
}

void ZipUnpacker::runSwapHook() {
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        hook = g_swapHook;
    }
    if (hook) {
        hook();
    }
}

bool ZipUnpacker::extractToStaging(const std::string& zipPath, const std::string& base, const std::string& onlyUnder,
                                   const std::string& staging) {
    unsigned result = ZipExtractor::kOk;
    std::unique_ptr<ZipExtractor> archive = ZipExtractor::openZip(zipPath, &result);
    if (!archive) {
        engine::log("unzip: cannot open %s: 0x%x", zipPath.c_str(), result);
        return false;
    }
    if (archive->getEntryCount() > netlimits::kZipEntries) {
        engine::log("unzip: %s holds %d entries, more than %d", zipPath.c_str(), archive->getEntryCount(),
                    netlimits::kZipEntries);
        return false;
    }
    bool ok = true;
    const std::vector<PlannedEntry> plan = planEntries(*archive, onlyUnder, ok);
    if (!ok) {
        return false;
    }
    const int64_t total = declaredTotal(plan);
    std::error_code ec;
    fs::create_directories(base, ec);
    if (!fitsOnDisk(base, total) || !withinContentCap(zipPath, total)) {
        return false;
    }
    removeTree(staging);
    if (mkdir(staging.c_str(), 0777) != 0) {
        engine::log("unzip: cannot create %s", staging.c_str());
        return false;
    }
    // Every folder once, here: the workers start out knowing them.
    archive->setBaseFolder(staging);
    for (const PlannedEntry& entry : plan) {
        const size_t slash = entry.name.find_last_of('/');
        if (slash != std::string::npos && !archive->createDirectories(staging, entry.name.substr(0, slash))) {
            return false;
        }
    }
    Extraction job;
    job.zipPath = zipPath;
    job.staging = staging;
    job.plan = &plan;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        job.hook = g_entryHook;
    }
    return extractAll(job, *archive);
}

bool ZipUnpacker::extract(ArchiveKind kind, const std::string& zipPath, const std::string& folder) {
    if (kind == ArchiveKind::PACKAGE) {
        return unpackPackage(zipPath, folder, fs::path(zipPath).stem().string());
    }
    return unpack(zipPath, folder);
}

bool ZipUnpacker::unpack(const std::string& zipPath, const std::string& folder) {
    if (folder.empty()) {
        engine::log("unzip: no folder to extract %s into", zipPath.c_str());
        return false;
    }
    const std::string base = folder.back() == '/' ? folder : folder + "/";
    const std::string staging = stagingFolder(base, zipPath);
    bool ok = extractToStaging(zipPath, base, "", staging);
    if (ok) {
        ok = publish(staging, base);
    }
    removeTree(staging);
    return ok;
}

bool ZipUnpacker::unpackPackage(const std::string& zipPath, const std::string& folder, const std::string& identify) {
    if (folder.empty() || !ZipExtractor::isSafeEntryName(identify) || identify.find('/') != std::string::npos) {
        engine::log("unzip: no folder to extract %s into", zipPath.c_str());
        return false;
    }
    const std::string base = folder.back() == '/' ? folder : folder + "/";
    const std::string staging = stagingFolder(base, zipPath);
    bool ok = extractToStaging(zipPath, base, identify + "/", staging);
    if (ok) {
        ok = swapIn(staging + identify, base + identify, base + "." + identify + ".old");
    }
    removeTree(staging);
    return ok;
}

bool ZipUnpacker::swapIn(const std::string& fresh, const std::string& target, const std::string& aside) {
    struct stat st;
    if (!lstatPath(fresh, st) || !S_ISDIR(st.st_mode)) {
        engine::log("unzip: the package has no files under %s", target.c_str());
        return false;
    }
    runSwapHook();
    removeTree(aside);
    const bool hadOld = lstatPath(target, st);
    if (hadOld && std::rename(target.c_str(), aside.c_str()) != 0) {
        engine::log("unzip: cannot move %s aside: errno %d", target.c_str(), errno);
        return false;
    }
    runSwapHook();
    if (std::rename(fresh.c_str(), target.c_str()) != 0) {
        engine::log("unzip: cannot move the new %s into place: errno %d", target.c_str(), errno);
        if (hadOld) {
            std::rename(aside.c_str(), target.c_str());
        }
        return false;
    }
    runSwapHook();
    removeTree(aside);
    runSwapHook();
    return true;
}

void ZipUnpacker::recoverPackages(const std::string& folder) {
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    auto endsWith = [](const std::string& text, const std::string& tail) {
        return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    };
    for (const std::string& name : names) {
        const std::string path = base + name;
        if (name[0] == '.' && endsWith(name, ".old")) {
            // Killed in the middle of a swap: the old package goes back when the new one is not in place.
            const std::string target = base + name.substr(1, name.size() - 5);
            struct stat st;
            if (!lstatPath(target, st) && std::rename(path.c_str(), target.c_str()) == 0) {
                engine::log("unzip: interrupted update of %s undone", target.c_str());
            } else {
                removeTree(path);
            }
        } else if (name[0] == '.' && endsWith(name, ".part")) {
            engine::log("unzip: removed unfinished extraction %s", path.c_str());
            removeTree(path);
        }
    }
}

bool ZipUnpacker::publish(const std::string& from, const std::string& to) {
    // Names first: the loop below moves entries out of the folder being listed.
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    if (ec) {
        engine::log("unzip: cannot list %s: %s", from.c_str(), ec.message().c_str());
        return false;
    }
    bool ok = true;
    for (const std::string& name : names) {
        const std::string source = from + name;
        const std::string target = to + name;
        struct stat sourceStat;
        struct stat targetStat;
        if (!lstatPath(source, sourceStat)) {
            ok = false;
            continue;
        }
        const bool sourceIsFolder = S_ISDIR(sourceStat.st_mode);
        if (lstatPath(target, targetStat)) {
            const bool targetIsFolder = S_ISDIR(targetStat.st_mode);
            if (sourceIsFolder && targetIsFolder) {
                ok = publish(source + "/", target + "/") && ok;
                continue;
            }
            if (targetIsFolder) {
                engine::log("unzip: folder %s is in the way of a file", target.c_str());
                ok = false;
                continue;
            }
            if (sourceIsFolder && unlink(target.c_str()) != 0) {
                engine::log("unzip: cannot replace %s", target.c_str());
                ok = false;
                continue;
            }
        }
        // rename replaces a file or link at the target without following it.
        if (std::rename(source.c_str(), target.c_str()) != 0) {
            engine::log("unzip: cannot move %s into place: errno %d", target.c_str(), errno);
            ok = false;
        }
    }
    return ok;
}
