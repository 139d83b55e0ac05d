// Downloads files to disk on the shared worker pool; callbacks arrive on the main thread. Only http and https
// addresses are fetched, following at most five redirects; anything else fails the task. A task fails when it
// stalls, trickles, brings too much or runs past its whole time (DownloaderHints).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "network/DownloadTask.h"

namespace engine::network {

struct DownloaderHints {
    // At most this many of this downloader's tasks transfer at once.
    uint32_t countOfMaxProcessingTasks = 6;
    // Connect and stall limit (no byte for that long), never a limit on the whole transfer.
    uint32_t timeoutInSeconds = 45;
    // The body goes to storagePath + suffix and is renamed onto storagePath on success.
    std::string tempFileNameSuffix = ".tmp";
    // A transfer that gets fewer than lowSpeedLimit bytes a second over a span of lowSpeedTime seconds is cut
    // (each span counted from the end of the one before); 0 in either switches the check off.
    uint32_t lowSpeedLimit = 1024;
    float lowSpeedTime = 30.f;
    // A body longer than this fails the task unread past it (at once when the server announces a longer one);
    // 0 sets no limit.
    uint64_t maxFileSize = 0;
    // Whole time: a transfer still running after wholeTimeSeconds and its length at wholeTimeBytesPerSecond (the
    // length the server announced, at most maxFileSize; maxFileSize when it announced none) is cut. 0 seconds sets
    // no limit, a rate of 0 leaves the whole time at wholeTimeSeconds.
    float wholeTimeSeconds = 0.f;
    uint32_t wholeTimeBytesPerSecond = 0;
};

struct DownloadSlots;

class Downloader {
public:
    Downloader();
    explicit Downloader(const DownloaderHints& hints);
    // Running and waiting tasks carry on and still report: each holds its own copy of the callbacks.
    ~Downloader();

    // bytesReceived is the amount since the previous report; totalBytesExpected is 0 when the server
    // sent no length. At most one report per task per frame, the last one before success or error.
    std::function<void(const DownloadTask& task, int64_t bytesReceived, int64_t totalBytesReceived,
                       int64_t totalBytesExpected)>
        onTaskProgress;
    std::function<void(const DownloadTask& task)> onFileTaskSuccess;
    std::function<void(const DownloadTask& task, int errorCode, int errorCodeInternal, const std::string& errorStr)>
        onTaskError;

    // Copies the three callbacks into the task. Exactly one of success or error follows, on the main
    // thread in a later frame, never inside this call.
    std::shared_ptr<const DownloadTask> createDownloadFileTask(const std::string& url, const std::string& storagePath,
                                                               const std::string& identifier = "");

private:
    DownloaderHints _hints;
    std::shared_ptr<DownloadSlots> _slots;
};

} // namespace engine::network
