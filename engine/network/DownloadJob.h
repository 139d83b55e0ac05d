// A download task's own state: its copy of the callbacks, the transfer run on a worker and the
// hand-over of progress and result to the main thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "network/DownloadTask.h"
#include "network/Downloader.h"

namespace engine::network {

struct DownloadCallbacks {
    decltype(Downloader::onTaskProgress) onTaskProgress;
    decltype(Downloader::onFileTaskSuccess) onFileTaskSuccess;
    decltype(Downloader::onTaskError) onTaskError;
};

class DownloadJob : public std::enable_shared_from_this<DownloadJob> {
public:
    DownloadJob(std::shared_ptr<const DownloadTask> task, const DownloaderHints& hints, DownloadCallbacks callbacks);

    const std::shared_ptr<const DownloadTask>& getTask() const { return _task; }

    // Worker thread: downloads into the temp file and renames it, or records the error. Returns false
    // when stop cut it short; the temp file is gone either way unless the download succeeded.
    bool transfer(const std::atomic<bool>& stop);

    // Records a failure; the caller then hands the job to postResult.
    void fail(int errorCode, int errorCodeInternal, const std::string& errorStr);

    // Queues the success or error call for the main thread, taking over the caller's reference so that
    // the job is released there.
    static void postResult(std::shared_ptr<DownloadJob> job);

private:
    // Worker thread: the body's bytes as they arrive; false stops the transfer.
    bool write(const char* data, size_t length);
    // Worker thread, called by libcurl at least once a second: false stops the transfer.
    bool keepGoing();
    // Worker thread: true once a whole span of the low-speed check brought too little.
    bool isTooSlow(std::chrono::steady_clock::time_point now);
    // Seconds the whole transfer may take by the hints and the length known so far; 0 for no limit.
    double wholeTimeSeconds() const;
    void postProgress();
    void reportProgress();
    void reportResult();

    bool isCurrent() const;

    std::shared_ptr<const DownloadTask> _task;
    DownloaderHints _hints;
    uint64_t _epoch = 0;
    DownloadCallbacks _callbacks;

    // Worker side of a running transfer.
    const std::atomic<bool>* _stop = nullptr;
    void* _curl = nullptr;
    FILE* _file = nullptr;
    int _writeErrno = 0;
    std::chrono::steady_clock::time_point _startTime;
    std::chrono::steady_clock::time_point _lastDataTime;
    bool _stalled = false;
    bool _tooLong = false;
    // The current span of the low-speed check: where it began and what had arrived then.
    std::chrono::steady_clock::time_point _spanStart;
    int64_t _spanStartReceived = 0;
    bool _tooSlow = false;
    bool _tooLarge = false;

    // Latest totals, handed to the main thread through at most one pending progress call.
    std::atomic<int64_t> _received{0};
    std::atomic<int64_t> _expected{0};
    std::atomic<bool> _progressPending{false};

    // Main thread only.
    int64_t _reportedReceived = 0;
    int64_t _reportedExpected = 0;
    bool _resultReported = false;

    // Written before postResult, read on the main thread after.
    int _errorCode = DownloadTask::ERROR_NO_ERROR;
    int _errorCodeInternal = 0;
    std::string _errorStr;
};

} // namespace engine::network
