#include "network/DownloadJob.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/Director.h"
#include "base/InputLimits.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "network/DownloadWorkerPool.h"

namespace engine::network {

namespace fs = std::filesystem;

namespace {

constexpr size_t kFileBufferSize = 1 << 20;
constexpr long kReceiveBufferSize = 512 * 1024;

void runOnMainThread(std::function<void()> fn) {
    Director::getInstance()->getScheduler()->performFunctionInMainThread(std::move(fn));
}

} // namespace

DownloadJob::DownloadJob(std::shared_ptr<const DownloadTask> task, const DownloaderHints& hints,
                         DownloadCallbacks callbacks)
    : _task(std::move(task)), _hints(hints), _epoch(DownloadWorkerPool::getInstance().getEpoch()),
      _callbacks(std::move(callbacks)) {}

bool DownloadJob::isCurrent() const {
    return _epoch == DownloadWorkerPool::getInstance().getEpoch();
}

void DownloadJob::fail(int errorCode, int errorCodeInternal, const std::string& errorStr) {
    _errorCode = errorCode;
    _errorCodeInternal = errorCodeInternal;
    _errorStr = errorStr;
}

bool DownloadJob::transfer(const std::atomic<bool>& stop) {
    const fs::path target = _task->storagePath;
    const fs::path temp = _task->storagePath + _hints.tempFileNameSuffix;
    std::error_code ec;
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec) {
            fail(DownloadTask::ERROR_FILE_OP_FAILED, ec.value(), "cannot create folder: " + ec.message());
            return true;
        }
    }
    _file = std::fopen(temp.c_str(), "wb");
    if (_file == nullptr) {
        fail(DownloadTask::ERROR_FILE_OP_FAILED, errno, "cannot open " + temp.string() + ": " + std::strerror(errno));
        return true;
    }
    std::setvbuf(_file, nullptr, _IOFBF, kFileBufferSize);

    CURL* curl = curl_easy_init();
    _curl = curl;
    _stop = &stop;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const long timeout = static_cast<long>(_hints.timeoutInSeconds);
    curl_write_callback onWrite = [](char* data, size_t size, size_t count, void* job) -> size_t {
        const size_t length = size * count;
        return static_cast<DownloadJob*>(job)->write(data, length) ? length : 0;
    };
    curl_xferinfo_callback onTransferInfo = [](void* job, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        return static_cast<DownloadJob*>(job)->keepGoing() ? 0 : 1;
    };
    CURLcode result = CURLE_FAILED_INIT;
    if (curl != nullptr) {
        curl_easy_setopt(curl, CURLOPT_URL, _task->requestURL.c_str());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        // Addresses come from the server: a loop ends after a few hops, and nothing but HTTP(S) is fetched.
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits::kRedirects);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
        // A connect and stall limit; the stall and low-speed checks are keepGoing(), so that a stall is noticed
        // after timeoutInSeconds and a trickle after a whole span of lowSpeedTime.
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onWrite);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onTransferInfo);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        _startTime = std::chrono::steady_clock::now();
        _lastDataTime = _startTime;
        _spanStart = _startTime;
        result = curl_easy_perform(curl);
        if (_stalled) {
            result = CURLE_OPERATION_TIMEDOUT;
            std::snprintf(errorBuffer, sizeof(errorBuffer), "no data for %ld seconds", timeout);
        } else if (_tooLong) {
            result = CURLE_OPERATION_TIMEDOUT;
            std::snprintf(errorBuffer, sizeof(errorBuffer), "still running after %g seconds", wholeTimeSeconds());
        } else if (_tooSlow) {
            result = CURLE_OPERATION_TIMEDOUT;
            std::snprintf(errorBuffer, sizeof(errorBuffer), "fewer than %u bytes a second for %g seconds",
                          _hints.lowSpeedLimit, static_cast<double>(_hints.lowSpeedTime));
        } else if (_tooLarge) {
            result = CURLE_FILESIZE_EXCEEDED;
            std::snprintf(errorBuffer, sizeof(errorBuffer), "longer than %llu bytes",
                          static_cast<unsigned long long>(_hints.maxFileSize));
        }
    }
    long status = 0;
    if (curl != nullptr) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_cleanup(curl);
    }
    _curl = nullptr;
    const bool closed = std::fclose(_file) == 0;
    const int closeErrno = errno;
    _file = nullptr;

    if (stop) {
        fs::remove(temp, ec);
        return false;
    }
    if (status >= 400) {
        fail(DownloadTask::ERROR_NETWORK, static_cast<int>(status), "HTTP status " + std::to_string(status));
    } else if (_writeErrno != 0) {
        fail(DownloadTask::ERROR_FILE_OP_FAILED, _writeErrno,
             std::string("cannot write: ") + std::strerror(_writeErrno));
    } else if (result != CURLE_OK) {
        fail(DownloadTask::ERROR_NETWORK, result, errorBuffer[0] ? errorBuffer : curl_easy_strerror(result));
    } else if (!closed) {
        fail(DownloadTask::ERROR_FILE_OP_FAILED, closeErrno, std::string("cannot write: ") + std::strerror(closeErrno));
    } else if (status < 200 || status >= 300) {
        fail(DownloadTask::ERROR_NETWORK, static_cast<int>(status), "HTTP status " + std::to_string(status));
    } else {
        fs::rename(temp, target, ec);
        if (ec) {
            fail(DownloadTask::ERROR_FILE_OP_FAILED, ec.value(),
                 "cannot rename " + temp.string() + ": " + ec.message());
        }
    }
    if (_errorCode != DownloadTask::ERROR_NO_ERROR) {
        fs::remove(temp, ec);
    }
    return true;
}

bool DownloadJob::keepGoing() {
    if (_stop->load()) {
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    _stalled = now - _lastDataTime > std::chrono::seconds(_hints.timeoutInSeconds);
    const double allowed = wholeTimeSeconds();
    _tooLong = !_stalled && allowed > 0 && std::chrono::duration<double>(now - _startTime).count() > allowed;
    _tooSlow = !_stalled && !_tooLong && isTooSlow(now);
    return !_stalled && !_tooLong && !_tooSlow;
}

double DownloadJob::wholeTimeSeconds() const {
    if (_hints.wholeTimeSeconds <= 0) {
        return 0;
    }
    double seconds = _hints.wholeTimeSeconds;
    if (_hints.wholeTimeBytesPerSecond != 0) {
        const auto announced = static_cast<uint64_t>(_expected.load());
        uint64_t length = _hints.maxFileSize;
        if (announced != 0 && (length == 0 || announced < length)) {
            length = announced;
        }
        seconds += static_cast<double>(length) / _hints.wholeTimeBytesPerSecond;
    }
    return seconds;
}

bool DownloadJob::isTooSlow(std::chrono::steady_clock::time_point now) {
    if (_hints.lowSpeedLimit == 0 || _hints.lowSpeedTime <= 0) {
        return false;
    }
    const double span = std::chrono::duration<double>(now - _spanStart).count();
    if (span < _hints.lowSpeedTime) {
        return false;
    }
    const int64_t received = _received.load();
    if (static_cast<double>(received - _spanStartReceived) < _hints.lowSpeedLimit * span) {
        return true;
    }
    _spanStart = now;
    _spanStartReceived = received;
    return false;
}

bool DownloadJob::write(const char* data, size_t length) {
    if (_stop->load()) {
        return false;
    }
    _lastDataTime = std::chrono::steady_clock::now();
    auto* curl = static_cast<CURL*>(_curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400) {
        return false; // an error page: no need to read it
    }
    curl_off_t expected = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
    _expected = expected > 0 ? expected : 0;
    // A longer announced body is refused at its first bytes; one without a length is cut where it passes the cap.
    const uint64_t total = std::max(static_cast<uint64_t>(_expected.load()),
                                    static_cast<uint64_t>(_received.load()) + length);
    if (_hints.maxFileSize != 0 && total > _hints.maxFileSize) {
        _tooLarge = true;
        return false;
    }
    if (std::fwrite(data, 1, length, _file) != length) {
        _writeErrno = errno ? errno : EIO;
        return false;
    }
    _received += static_cast<int64_t>(length);
    postProgress();
    return true;
}

void DownloadJob::postProgress() {
    // The pending call reads the totals when it runs, so one call a frame covers any number of writes.
    if (!_progressPending.exchange(true)) {
        runOnMainThread([job = shared_from_this()] { job->reportProgress(); });
    }
}

void DownloadJob::reportProgress() {
    _progressPending = false;
    const int64_t received = _received.load();
    const int64_t expected = _expected.load();
    if (_resultReported || !isCurrent() || (received == _reportedReceived && expected == _reportedExpected)) {
        return;
    }
    const int64_t delta = received - _reportedReceived;
    _reportedReceived = received;
    _reportedExpected = expected;
    if (_callbacks.onTaskProgress) {
        _callbacks.onTaskProgress(*_task, delta, received, expected);
    }
}

void DownloadJob::postResult(std::shared_ptr<DownloadJob> job) {
    runOnMainThread([job = std::move(job)] { job->reportResult(); });
}

void DownloadJob::reportResult() {
    if (_resultReported || !isCurrent()) {
        return;
    }
    _resultReported = true;
    if (_errorCode == DownloadTask::ERROR_NO_ERROR) {
        if (_callbacks.onFileTaskSuccess) {
            _callbacks.onFileTaskSuccess(*_task);
        }
        return;
    }
    log("Downloader: %s failed: %s", _task->requestURL.c_str(), _errorStr.c_str());
    if (_callbacks.onTaskError) {
        _callbacks.onTaskError(*_task, _errorCode, _errorCodeInternal, _errorStr);
    }
}

} // namespace engine::network
