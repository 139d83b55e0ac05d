// The server's courseware lists of the chosen course type and subject, and the package download queue.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Ref.h"
#include "common/CoursewareData.h"
#include "common/LifeToken.h"
#include "net/DownloadRecord.h"

namespace engine::network {
class Downloader;
class DownloadTask;
} // namespace engine::network

// With no known size (0 or less) a report reads 0 of 1 byte, so that a percentage computed from it is 0.
using CoursewareProgressCallback = std::function<void(const std::string& identifier, double received, double expected)>;
using CoursewareFinishCallback = std::function<void(const std::string& storagePath, const std::string& identifier)>;

class CoursewareManager : public engine::Ref {
public:
    static CoursewareManager* getInstance();
    // Drops the singleton and its tick (tests); a download still running then reports to nobody.
    static void destroyInstance();
    ~CoursewareManager() override;
    // Empties the queue, drops the callbacks and the downloader, and schedules updateTask every 0.1 s.
    virtual bool init();

    static std::string getIdentify(const CoursewareData& record) { return CoursewareData::identifyOf(record); }
    static std::string getCurrentIdentify() { return CoursewareData::currentIdentify(); }

    int getCoursewareIndex(const std::string& identify) const;
    CoursewareData getCourseware(const std::string& identify) const;
    void setCoursewareState(int index, int state);
    void setStateByIdentify(const std::string& identify);
    CoursewareList& getCoursewareList(int gradeCode);
    // Appends the record unless one with its key is queued or being extracted. A record without address, or whose
    // key is not a ten-digit identify (CoursewareData::isIdentify), is dropped with a log line. True when the key is
    // queued or being extracted.
    bool addDownloadTask(const DownloadRecord& record);
    // The package waits in the queue or has downloaded and is being extracted: not in place yet either way.
    bool isQueued(const std::string& key) const;
    // Starts the first queued package that is not waiting for a retry, when none runs.
    void updateTask(float dt);

    std::map<int, CoursewareList> lists;
    CoursewareList currentList;
    std::vector<DownloadRecord> queue;
    int busy = 0;
    CoursewareProgressCallback progressCallback;
    CoursewareFinishCallback finishCallback;

private:
    // A package that failed waits this long before its next try: 5 s, doubled after every failure up to 60 s.
    struct RetryWait {
        double delay = 0;
        double until = 0;
    };

    CoursewareManager() = default;
    void ensureTick();
    // A download is cut past this: the course list's "size" and a quarter (at least 4 MB more), or 2 GB when the
    // queued record gives none; and past the whole time of its length (DownManager::hintsFor). The cut package
    // waits for its retry like any failed one.
    uint64_t packageCap(const std::string& key) const;
    void startNextTask();
    void onTaskProgress(const engine::network::DownloadTask& task, int64_t received, int64_t expected);
    void onTaskSuccess(const engine::network::DownloadTask& task);
    void onTaskError(const engine::network::DownloadTask& task);
    // The extraction result of a downloaded package: in place, its row is written, its state becomes 1 and the
    // finish callback runs; otherwise it waits for another download like a failed one.
    void onPackageExtracted(const std::string& zipPath, const std::string& identifier, bool extracted);
    // Back to the end of the queue, its next try after the back-off.
    void requeueLater(const DownloadRecord& record);
    bool isWaiting(const std::string& key) const;
    // The queued record with that key is taken out; false when there is none.
    bool takeQueued(const std::string& key, DownloadRecord& record);

    std::shared_ptr<engine::network::Downloader> downloader;
    // Time of the scheduler's clock that the tick has seen, in seconds.
    double clock = 0;
    std::map<std::string, RetryWait> retryWaits;
    // Downloaded packages waiting for their extraction, by key.
    std::map<std::string, DownloadRecord> extracting;
    // The courseware record of each queued package as it was when queued, so that its row is written even when the
    // teacher has moved to another grade's list before it is in place.
    std::map<std::string, CoursewareData> queuedRecords;
    LifeToken life;
};
