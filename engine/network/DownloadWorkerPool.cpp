#include "network/DownloadWorkerPool.h"

#include <algorithm>

#include "base/Director.h"
#include "network/CurlGlobal.h"
#include "network/DownloadJob.h"

namespace engine::network {

DownloadWorkerPool& DownloadWorkerPool::getInstance() {
    // Never destroyed: workers may still be blocked in a transfer when the process exits.
    static DownloadWorkerPool* pool = new DownloadWorkerPool();
    return *pool;
}

DownloadWorkerPool::DownloadWorkerPool() {
    ensureCurlGlobalInit();
}

void DownloadWorkerPool::registerShutdownHook() {
    // The director runs each hook once, at its shutdown; a later run of the pool registers again.
    if (_shutdownHookRegistered) {
        return;
    }
    _shutdownHookRegistered = true;
    Director::getInstance()->addShutdownHook([this] {
        _shutdownHookRegistered = false;
        shutdown();
    });
}

void DownloadWorkerPool::enqueue(std::shared_ptr<DownloadJob> job, std::shared_ptr<DownloadSlots> slots) {
    registerShutdownHook();
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _waiting.push_back({std::move(job), std::move(slots)});
        if (_waiting.size() > _idleWorkers && _workers.size() < MAX_WORKERS) {
            _workers.emplace_back(&DownloadWorkerPool::workerLoop, this);
        }
    }
    _condition.notify_all();
}

void DownloadWorkerPool::shutdown() {
    ++_epoch;
    std::deque<Entry> dropped;
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _stopping = true;
        dropped.swap(_waiting);
        workers.swap(_workers);
    }
    _condition.notify_all();
    for (std::thread& worker : workers) {
        worker.join();
    }
    std::vector<std::shared_ptr<DownloadJob>> abandoned;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        abandoned.swap(_abandoned);
        _idleWorkers = 0;
        _stopping = false;
    }
}

void DownloadWorkerPool::workerLoop() {
    std::unique_lock<std::mutex> lock(_mutex);
    while (!_stopping) {
        auto next = std::find_if(_waiting.begin(), _waiting.end(),
                                 [](const Entry& entry) { return entry.slots->running < entry.slots->limit; });
        if (next == _waiting.end()) {
            ++_idleWorkers;
            _condition.wait(lock);
            --_idleWorkers;
            continue;
        }
        Entry entry = std::move(*next);
        _waiting.erase(next);
        ++entry.slots->running;
        lock.unlock();

        const bool finished = entry.job->transfer(_stopping);
        if (finished) {
            // Hands the worker's reference over, so the job is released on the main thread.
            DownloadJob::postResult(std::move(entry.job));
        }

        lock.lock();
        --entry.slots->running;
        if (!finished) {
            _abandoned.push_back(std::move(entry.job));
        }
        _condition.notify_all();
    }
}

} // namespace engine::network
