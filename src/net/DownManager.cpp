#include "net/DownManager.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>
#include <set>

#include "base/Director.h"
#include "base/InputLimits.h"
#include "net/NetLimits.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "net/FileManager.h"
#include "net/SqManager.h"
#include "network/Downloader.h"

using engine::network::Downloader;
using engine::network::DownloaderHints;
using engine::network::DownloadTask;

namespace {

DownManager* s_instance = nullptr;

uint32_t s_slowBytesPerSecond = engine::limits::kSlowTransferBytesPerSecond;
float s_slowSeconds = engine::limits::kSlowTransferSeconds;
double s_wholeTimeScale = 1.0;

std::string lowerSuffix(const std::string& storagePath) {
    std::string suffix = std::filesystem::path(storagePath).extension().string();
    std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](unsigned char c) { return std::tolower(c); });
    return suffix;
}

bool isSmallKind(const std::string& storagePath) {
    static const std::set<std::string> kSmallKinds = {".png", ".jpg", ".jpeg", ".mp3", ".wav", ".ogg"};
    return kSmallKinds.count(lowerSuffix(storagePath)) != 0;
}

} // namespace

void DownManager::setWholeTimeScale(double scale) {
    s_wholeTimeScale = scale;
}

DownloaderHints DownManager::hintsFor(uint64_t maxBytes, bool small) {
    DownloaderHints hints = fileHints();
    hints.maxFileSize = maxBytes;
    if (small) {
        hints.wholeTimeSeconds = static_cast<float>(engine::limits::kPictureDownloadSeconds * s_wholeTimeScale);
    } else {
        hints.wholeTimeSeconds = static_cast<float>(engine::limits::kDownloadBaseSeconds * s_wholeTimeScale);
        hints.wholeTimeBytesPerSecond =
            static_cast<uint32_t>(engine::limits::kDownloadFloorBytesPerSecond / s_wholeTimeScale);
    }
    return hints;
}

void DownManager::setSlowTransferLimit(uint32_t bytesPerSecond, float seconds) {
    s_slowBytesPerSecond = bytesPerSecond;
    s_slowSeconds = seconds;
}

DownloaderHints DownManager::fileHints() {
    DownloaderHints hints;
    hints.countOfMaxProcessingTasks = 1;
    hints.timeoutInSeconds = engine::limits::kDownloadStallSeconds;
    hints.tempFileNameSuffix = ".tmp";
    hints.lowSpeedLimit = s_slowBytesPerSecond;
    hints.lowSpeedTime = s_slowSeconds;
    return hints;
}

DownManager* DownManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) DownManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

void DownManager::destroyInstance() {
    if (s_instance) {
        s_instance->release();
        s_instance = nullptr;
    }
}

DownManager::~DownManager() = default;

bool DownManager::init() {
    return true;
}

int DownManager::percentOf(int64_t received, int64_t expected) {
    if (expected <= 0) {
        return 0;
    }
    const double percent = static_cast<double>(received) / static_cast<double>(expected) * 100.0;
    return std::clamp(static_cast<int>(percent), 0, 100);
}

bool DownManager::isSafeExtension(const std::string& extension) {
    if (extension.size() < 2 || extension.size() > 9 || extension[0] != '.') {
        return false;
    }
    return std::all_of(extension.begin() + 1, extension.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

uint64_t DownManager::capFor(const std::string& storagePath) {
    if (isSmallKind(storagePath)) {
        return engine::limits::kPictureBytes;
    }
    return lowerSuffix(storagePath) == ".zip" ? netlimits::kInterfacePackBytes : netlimits::kMovieBytes;
}

void DownManager::downloadHeadImage(const std::string& url, const std::string& extension) {
    const std::string name = FileManager::getFileName(url);
    const std::string suffix = isSafeExtension(extension) ? extension : ".png";
    startFile(url, FileManager::getInstance()->getHeadImgsPath() + name + suffix, name,
              hintsFor(engine::limits::kPictureBytes, true));
}

void DownManager::downloadFile(const DownloadRecord& record) {
    startFile(record.url, record.storagePath, record.identifier,
              hintsFor(capFor(record.storagePath), isSmallKind(record.storagePath)));
}

void DownManager::downloadUpdater(const DownloadRecord& record) {
    if (record.url.empty()) {
        engine::log("DownManager: updater without address refused");
        return;
    }
    updaterDownloader = std::make_shared<Downloader>(hintsFor(netlimits::kUpdaterBytes, false));
    updaterDownloader->onFileTaskSuccess = life.guard([this](const DownloadTask& task) { onUpdaterDownloaded(task); });
    updaterDownloader->createDownloadFileTask(record.url, record.storagePath, record.identifier);
}

void DownManager::releaseCallbacks(const std::weak_ptr<char>& owner) {
    if (!callbackOwner.owner_before(owner) && !owner.owner_before(callbackOwner)) {
        progressCallback = nullptr;
        finishCallback = nullptr;
        callbackOwner.reset();
    }
}

std::shared_ptr<DownManager::TaskCallbacks> DownManager::openTaskCallbacks() {
    if (newestTask) {
        seal(newestTask);
    }
    callbackOwner.reset();
    auto callbacks = std::make_shared<TaskCallbacks>();
    newestTask = callbacks;
    // Queued before the task exists, so it runs before any report of the task.
    engine::Director::getInstance()->getScheduler()->performFunctionInMainThread(
        life.guard([this, weak = std::weak_ptr<TaskCallbacks>(callbacks)] {
            if (auto open = weak.lock()) {
                seal(open);
            }
        }));
    return callbacks;
}

void DownManager::seal(const std::shared_ptr<TaskCallbacks>& callbacks) {
    if (!callbacks->sealed) {
        callbacks->progress = progressCallback;
        callbacks->finish = finishCallback;
        callbacks->sealed = true;
    }
    if (newestTask == callbacks) {
        newestTask.reset();
    }
}

void DownManager::startFile(const std::string& url, const std::string& storagePath, const std::string& identifier,
                            const DownloaderHints& hints) {
    auto callbacks = openTaskCallbacks();
    if (url.empty()) {
        engine::log("DownManager: no address for %s", storagePath.c_str());
        // Never inside the call: a chain that starts its next file from the finish callback would recurse.
        engine::Director::getInstance()->getScheduler()->performFunctionInMainThread(
            life.guard([this, callbacks, storagePath] { onTaskFinished(callbacks, storagePath, false); }));
        return;
    }
    // The engine lets the task of a replaced downloader finish and report through its own copy of the callbacks.
    downloader = std::make_shared<Downloader>(hints);
    downloader->onTaskProgress =
        life.guard([this, callbacks](const DownloadTask&, int64_t, int64_t totalReceived, int64_t totalExpected) {
            onTaskProgress(callbacks, totalReceived, totalExpected);
        });
    downloader->onFileTaskSuccess =
        life.guard([this, callbacks](const DownloadTask& task) { onTaskFinished(callbacks, task.storagePath, true); });
    downloader->onTaskError =
        life.guard([this, callbacks](const DownloadTask& task, int, int, const std::string& error) {
            onTaskError(callbacks, task, error);
        });
    downloader->createDownloadFileTask(url, storagePath, identifier);
}

void DownManager::onTaskProgress(const std::shared_ptr<TaskCallbacks>& callbacks, int64_t received, int64_t expected) {
    const DownProgressCallback progress = callbacks->sealed ? callbacks->progress : progressCallback;
    if (progress) {
        progress(percentOf(received, expected));
    }
}

void DownManager::onTaskFinished(const std::shared_ptr<TaskCallbacks>& callbacks, const std::string& storagePath,
                                 bool succeeded) {
    // A copy: the callback may assign the members (starting the next file) while it runs.
    const DownFinishCallback finish = callbacks->sealed ? callbacks->finish : finishCallback;
    if (finish) {
        finish(storagePath, succeeded);
    }
}

void DownManager::onTaskError(const std::shared_ptr<TaskCallbacks>& callbacks, const DownloadTask& task,
                              const std::string& error) {
    engine::log("onTaskError : %s: %s", task.identifier.c_str(), error.c_str());
    onTaskFinished(callbacks, task.storagePath, false);
}

void DownManager::onUpdaterDownloaded(const DownloadTask& task) {
    SqManager::getInstance()->addUnzipTask(task.storagePath);
}
