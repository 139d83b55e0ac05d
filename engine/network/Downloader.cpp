#include "network/Downloader.h"

#include "base/Log.h"
#include "network/DownloadJob.h"
#include "network/DownloadWorkerPool.h"

namespace engine::network {

Downloader::Downloader() : Downloader(DownloaderHints()) {}

Downloader::Downloader(const DownloaderHints& hints) : _hints(hints), _slots(std::make_shared<DownloadSlots>()) {
    if (_hints.countOfMaxProcessingTasks == 0) {
        log("Downloader: countOfMaxProcessingTasks 0, using 1");
        _hints.countOfMaxProcessingTasks = 1;
    }
    _slots->limit = _hints.countOfMaxProcessingTasks;
}

Downloader::~Downloader() = default;

std::shared_ptr<const DownloadTask> Downloader::createDownloadFileTask(const std::string& url,
                                                                       const std::string& storagePath,
                                                                       const std::string& identifier) {
    auto task = std::make_shared<DownloadTask>();
    task->identifier = identifier;
    task->requestURL = url;
    task->storagePath = storagePath;
    auto job =
        std::make_shared<DownloadJob>(task, _hints, DownloadCallbacks{onTaskProgress, onFileTaskSuccess, onTaskError});
    if (url.empty() || storagePath.empty()) {
        job->fail(DownloadTask::ERROR_INVALID_PARAMS, 0, url.empty() ? "empty URL" : "empty storage path");
        DownloadJob::postResult(std::move(job));
    } else {
        DownloadWorkerPool::getInstance().enqueue(std::move(job), _slots);
    }
    return task;
}

} // namespace engine::network
