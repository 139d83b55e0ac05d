#include "net/CoursewareManager.h"

#include <algorithm>
#include <new>

#include "base/Director.h"
#include "net/NetLimits.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "net/DownManager.h"
#include "net/FileManager.h"
#include "net/SqManager.h"
#include "network/Downloader.h"

using engine::network::Downloader;
using engine::network::DownloadTask;

namespace {

CoursewareManager* s_instance = nullptr;

constexpr float kTickInterval = 0.1f;
constexpr double kFirstRetryDelay = 5.0;
constexpr double kLongestRetryDelay = 60.0;

} // namespace

CoursewareManager* CoursewareManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) CoursewareManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

void CoursewareManager::destroyInstance() {
    if (s_instance) {
        engine::Director::getInstance()->getScheduler()->unschedule(schedule_selector(CoursewareManager::updateTask),
                                                                    s_instance);
        s_instance->release();
        s_instance = nullptr;
    }
}

CoursewareManager::~CoursewareManager() = default;

bool CoursewareManager::init() {
    queue.clear();
    progressCallback = nullptr;
    finishCallback = nullptr;
    downloader.reset();
    busy = 0;
    retryWaits.clear();
    extracting.clear();
    ensureTick();
    return true;
}

void CoursewareManager::ensureTick() {
    // The director's reset in tests drops every timer; a new queue entry brings the tick back.
    engine::Scheduler* scheduler = engine::Director::getInstance()->getScheduler();
    if (!scheduler->isScheduled(schedule_selector(CoursewareManager::updateTask), this)) {
        scheduler->schedule(schedule_selector(CoursewareManager::updateTask), this, kTickInterval, false);
    }
}

int CoursewareManager::getCoursewareIndex(const std::string& identify) const {
    for (size_t i = 0; i < currentList.size(); ++i) {
        if (currentList[i].Identify == identify) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

CoursewareData CoursewareManager::getCourseware(const std::string& identify) const {
    const int index = getCoursewareIndex(identify);
    return index >= 0 ? currentList[index] : CoursewareData();
}

void CoursewareManager::setCoursewareState(int index, int state) {
    if (index >= 0 && index < static_cast<int>(currentList.size())) {
        currentList[index].state = state;
    }
}

void CoursewareManager::setStateByIdentify(const std::string& identify) {
    for (auto& entry : lists) {
        for (CoursewareData& record : entry.second) {
            if (record.Identify == identify) {
                record.state = 1;
                break;
            }
        }
    }
}

CoursewareList& CoursewareManager::getCoursewareList(int gradeCode) {
    return lists[gradeCode];
}

bool CoursewareManager::isQueued(const std::string& key) const {
    return extracting.count(key) != 0 ||
           std::any_of(queue.begin(), queue.end(), [&](const DownloadRecord& r) { return r.key == key; });
}

bool CoursewareManager::addDownloadTask(const DownloadRecord& record) {
    if (record.url.empty() || !CoursewareData::isIdentify(record.key)) {
        engine::log("CoursewareManager: package \"%s\" without a usable address or name dropped", record.key.c_str());
        return false;
    }
    ensureTick();
    if (!isQueued(record.key)) {
        queue.push_back(record);
    }
    const int index = getCoursewareIndex(record.key);
    if (index >= 0) {
        queuedRecords[record.key] = currentList[index];
    }
    return true;
}

bool CoursewareManager::isWaiting(const std::string& key) const {
    auto wait = retryWaits.find(key);
    return wait != retryWaits.end() && clock < wait->second.until;
}

bool CoursewareManager::takeQueued(const std::string& key, DownloadRecord& record) {
    auto found = std::find_if(queue.begin(), queue.end(), [&](const DownloadRecord& r) { return r.key == key; });
    if (found == queue.end()) {
        return false;
    }
    record = *found;
    queue.erase(found);
    return true;
}

void CoursewareManager::updateTask(float dt) {
    clock += dt;
    if (busy != 0 || queue.empty()) {
        return;
    }
    // Front first; a package waiting for its retry lets the ones behind it go ahead.
    auto next = std::find_if(queue.begin(), queue.end(), [this](const DownloadRecord& r) { return !isWaiting(r.key); });
    if (next == queue.end()) {
        return;
    }
    std::rotate(queue.begin(), next, next + 1);
    busy = 1;
    startNextTask();
}

void CoursewareManager::startNextTask() {
    downloader.reset();
    const DownloadRecord record = queue.front();
    downloader = std::make_shared<Downloader>(DownManager::hintsFor(packageCap(record.key), false));
    downloader->onTaskProgress =
        life.guard([this](const DownloadTask& task, int64_t, int64_t totalReceived, int64_t totalExpected) {
            onTaskProgress(task, totalReceived, totalExpected);
        });
    downloader->onFileTaskSuccess = life.guard([this](const DownloadTask& task) { onTaskSuccess(task); });
    downloader->onTaskError =
        life.guard([this](const DownloadTask& task, int, int, const std::string&) { onTaskError(task); });
    const std::string storagePath = FileManager::getInstance()->getNetResPath() + record.key + ".zip";
    downloader->createDownloadFileTask(record.url, storagePath, record.key);
}

uint64_t CoursewareManager::packageCap(const std::string& key) const {
    auto queued = queuedRecords.find(key);
    if (queued == queuedRecords.end() || queued->second.ResSize <= 0) {
        return netlimits::kPackageWithoutSize;
    }
    const auto size = static_cast<uint64_t>(queued->second.ResSize);
    return size + std::max(size / 4, netlimits::kPackageMargin);
}

void CoursewareManager::onTaskProgress(const DownloadTask& task, int64_t received, int64_t expected) {
    const CoursewareProgressCallback progress = progressCallback;
    if (!progress) {
        return;
    }
    if (expected <= 0) {
        progress(task.identifier, 0.0, 1.0);
    } else {
        progress(task.identifier, static_cast<double>(received), static_cast<double>(expected));
    }
}

void CoursewareManager::onTaskSuccess(const DownloadTask& task) {
    const std::string identifier = task.identifier;
    DownloadRecord finished;
    takeQueued(identifier, finished);
    // The package counts as downloaded when it is in place: its row and state follow the extraction.
    extracting[identifier] = finished;
    SqManager::getInstance()->addUnzipTask(task.storagePath,
                                           life.guard([this, identifier](const std::string& zipPath, bool extracted) {
                                               onPackageExtracted(zipPath, identifier, extracted);
                                           }));
    busy = 0;
}

void CoursewareManager::onPackageExtracted(const std::string& zipPath, const std::string& identifier, bool extracted) {
    auto found = extracting.find(identifier);
    if (found == extracting.end()) {
        return;
    }
    const DownloadRecord record = found->second;
    extracting.erase(found);
    if (!extracted) {
        engine::log("CoursewareManager: package %s could not be extracted, tried again later", identifier.c_str());
        requeueLater(record);
        return;
    }
    retryWaits.erase(identifier);
    const int index = getCoursewareIndex(identifier);
    auto queuedRecord = queuedRecords.find(identifier);
    if (index >= 0) {
        CoursewareData& data = currentList[index];
        SqManager::getInstance()->updateCourseware(data);
        data.downloaded = true;
        data.state = 1;
    } else if (queuedRecord != queuedRecords.end()) {
        SqManager::getInstance()->updateCourseware(queuedRecord->second);
    }
    if (queuedRecord != queuedRecords.end()) {
        queuedRecords.erase(queuedRecord);
    }
    setStateByIdentify(identifier);
    const CoursewareFinishCallback finish = finishCallback;
    if (finish) {
        finish(zipPath, identifier);
    }
}

void CoursewareManager::requeueLater(const DownloadRecord& record) {
    const bool queued =
        std::any_of(queue.begin(), queue.end(), [&](const DownloadRecord& r) { return r.key == record.key; });
    if (!queued) {
        queue.push_back(record);
    }
    RetryWait& wait = retryWaits[record.key];
    wait.delay = wait.delay <= 0 ? kFirstRetryDelay : std::min(wait.delay * 2, kLongestRetryDelay);
    wait.until = clock + wait.delay;
}

void CoursewareManager::onTaskError(const DownloadTask& task) {
    engine::log("CoursewareManager::onTaskError : %s", task.identifier.c_str());
    busy = 0;
    // Safe inside the downloader's own callback: the running callback is the task's copy.
    downloader.reset();
    DownloadRecord failed;
    if (takeQueued(task.identifier, failed)) {
        requeueLater(failed);
    }
}
