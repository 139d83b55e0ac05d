// The libcurl workers shared by every Downloader.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace engine::network {

class DownloadJob;

// One downloader's share of the pool: at most `limit` of its tasks transfer at once. Waiting tasks hold
// it too, so the limit still applies after the downloader is gone.
struct DownloadSlots {
    uint32_t limit = 1;
    uint32_t running = 0; // guarded by the pool
};

class DownloadWorkerPool {
public:
    static constexpr size_t MAX_WORKERS = 8;

    static DownloadWorkerPool& getInstance();

    // Main thread. Tasks start in arrival order as their downloader's slots allow.
    void enqueue(std::shared_ptr<DownloadJob> job, std::shared_ptr<DownloadSlots> slots);

    // Main thread, at director shutdown: cuts the running transfers (their temp files are removed),
    // drops the waiting tasks and joins the workers. No task created before it reports afterwards, not
    // even one whose result was already on its way. The pool starts again on the next enqueue.
    void shutdown();

    // Main thread: tasks report only while the epoch they were created in is current.
    uint64_t getEpoch() const { return _epoch; }

private:
    struct Entry {
        std::shared_ptr<DownloadJob> job;
        std::shared_ptr<DownloadSlots> slots;
    };

    DownloadWorkerPool();
    void workerLoop();
    void registerShutdownHook();

    std::mutex _mutex;
    std::condition_variable _condition;
    std::deque<Entry> _waiting;
    std::vector<std::thread> _workers;
    size_t _idleWorkers = 0;
    std::atomic<bool> _stopping{false};
    // Jobs cut short by shutdown, released on the main thread once the workers are joined.
    std::vector<std::shared_ptr<DownloadJob>> _abandoned;
    // Main thread only.
    uint64_t _epoch = 0;
    bool _shutdownHookRegistered = false;
};

} // namespace engine::network
