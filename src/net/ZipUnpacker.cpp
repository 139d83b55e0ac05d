#include "net/ZipUnpacker.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unordered_map>
#include <vector>

#include "base/Log.h"
#include "net/ZipExtractor.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxWorkers = 8;
// Below this many entries per worker another thread costs more than it saves.
constexpr size_t kEntriesPerWorker = 16;

std::mutex g_hookMutex;
std::function<void(int)> g_entryHook;

struct PlannedEntry {
    int index;
    std::string name;
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

std::vector<PlannedEntry> planEntries(ZipExtractor& archive, bool& ok) {
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
        std::string key = entry.name;
        if (key.back() == '/') {
            key.pop_back();
        }
        auto found = byName.find(key);
        if (found != byName.end()) {
            plan[found->second].index = -1;
        }
        byName[key] = plan.size();
        plan.push_back({i, entry.name});
    }
    plan.erase(std::remove_if(plan.begin(), plan.end(), [](const PlannedEntry& e) { return e.index < 0; }), plan.end());
    return plan;
}

bool extractAll(Extraction& job, ZipExtractor& archive) {
    const size_t cores = std::max<size_t>(1, std::thread::hardware_concurrency());
    const size_t wanted = std::min({kMaxWorkers, cores, std::max<size_t>(1, job.plan->size() / kEntriesPerWorker)});
    std::vector<std::unique_ptr<Worker>> workers;
    for (size_t i = 1; i < wanted; ++i) {
        auto worker = std::make_unique<Worker>();
        worker->job = &job;
        worker->extractor = ZipExtractor::openZip(job.zipPath);
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

bool ZipUnpacker::unpack(const std::string& zipPath, const std::string& folder) {
    if (folder.empty()) {
        engine::log("unzip: no folder to extract %s into", zipPath.c_str());
        return false;
    }
    const std::string base = folder.back() == '/' ? folder : folder + "/";
    unsigned result = ZipExtractor::kOk;
    std::unique_ptr<ZipExtractor> archive = ZipExtractor::openZip(zipPath, &result);
    if (!archive) {
        engine::log("unzip: cannot open %s: 0x%x", zipPath.c_str(), result);
        return false;
    }
    bool ok = true;
    const std::vector<PlannedEntry> plan = planEntries(*archive, ok);
    if (!ok) {
        return false;
    }

    std::error_code ec;
    fs::create_directories(base, ec);
    const std::string staging = stagingFolder(base, zipPath);
    removeTree(staging);
    if (mkdir(staging.c_str(), 0777) != 0) {
        engine::log("unzip: cannot create %s", staging.c_str());
        return false;
    }

    Extraction job;
    job.zipPath = zipPath;
    job.staging = staging;
    job.plan = &plan;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        job.hook = g_entryHook;
    }
    ok = extractAll(job, *archive);
    archive.reset();
    if (ok) {
        ok = publish(staging, base);
    }
    removeTree(staging);
    return ok;
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
