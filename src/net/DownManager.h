// Downloads single files outside the courseware queue: head images, overlay lists, the logo, the updater.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Ref.h"
#include "common/LifeToken.h"
#include "net/DownloadRecord.h"

namespace engine::network {
class Downloader;
class DownloadTask;
struct DownloaderHints;
} // namespace engine::network

using DownProgressCallback = std::function<void(int percent)>;
// succeeded is false for a failed file: the callback runs all the same, since chains advance on it.
using DownFinishCallback = std::function<void(const std::string& storagePath, bool succeeded)>;

class DownManager : public engine::Ref {
public:
    static DownManager* getInstance();
    // Drops the singleton (tests); tasks still running then report to nobody.
    static void destroyInstance();
    ~DownManager() override;
    virtual bool init();

    // Into the head image folder as the address's file name + extension; the file name is the task identifier.
    // An extension other than "." and 1 to 8 letters or digits gives ".png". Bounded as a picture (hintsFor).
    void downloadHeadImage(const std::string& url, const std::string& extension);
    // Bounded by what the file is: capFor's bytes, and the whole time of a picture or sound or of a larger file.
    void downloadFile(const DownloadRecord& record);
    // Queues the file for extraction when it has arrived; reports nothing. Bounded by netlimits::kUpdaterBytes and
    // the whole time of a larger file.
    void downloadUpdater(const DownloadRecord& record);

    // A whole percent; 0 while the expected size is unknown (0 or less).
    static int percentOf(int64_t received, int64_t expected);
    static bool isSafeExtension(const std::string& extension);
    // The most a single file may bring, by its suffix: a picture or sound, the interface pack (".zip"), or
    // anything else (movies). A longer body fails the download and its temporary file goes.
    static uint64_t capFor(const std::string& storagePath);
    // The hints of every single-file and package downloader: one task at a time, 10 s time-out, ".tmp" until
    // whole, cut when slower than the slow-transfer limit.
    static engine::network::DownloaderHints fileHints();
    // fileHints with a cap of maxBytes and a whole time: limits::kPictureDownloadSeconds for a picture or sound
    // (small), else limits::kDownloadBaseSeconds and the file's length at limits::kDownloadFloorBytesPerSecond.
    static engine::network::DownloaderHints hintsFor(uint64_t maxBytes, bool small);
    // Every whole time of downloads started later is this many times its limit (tests shorten it; 1 in use).
    static void setWholeTimeScale(double scale);
    // A transfer that brings fewer bytes a second than this over so many seconds is cut and fails like any other
    // (1,024 over 30 s; tests shorten it). Downloads started later follow it.
    static void setSlowTransferLimit(uint32_t bytesPerSecond, float seconds);

    // A file task reports to the callbacks these members hold at the end of the frame in which it started, or
    // at the next start when that comes first. So a caller assigns them just before or right after its start,
    // and a task finishing late still reaches its own caller. An address that is refused still gets its finish
    // call (succeeded false) in a later frame.
    DownProgressCallback progressCallback;
    DownFinishCallback finishCallback;
    // Set by a caller that assigns the callbacks and wants to clear them later only while they are its own;
    // every start resets it.
    std::weak_ptr<char> callbackOwner;
    // Empties both callbacks when owner is callbackOwner, so that a later caller's callbacks are kept.
    void releaseCallbacks(const std::weak_ptr<char>& owner);

private:
    // The callbacks of one file task: the members while it is the newest task of its frame, a copy after.
    struct TaskCallbacks {
        bool sealed = false;
        DownProgressCallback progress;
        DownFinishCallback finish;
    };

    DownManager() = default;

    std::shared_ptr<TaskCallbacks> openTaskCallbacks();
    void seal(const std::shared_ptr<TaskCallbacks>& callbacks);
    void startFile(const std::string& url, const std::string& storagePath, const std::string& identifier,
                   const engine::network::DownloaderHints& hints);
    void onTaskProgress(const std::shared_ptr<TaskCallbacks>& callbacks, int64_t received, int64_t expected);
    void onTaskFinished(const std::shared_ptr<TaskCallbacks>& callbacks, const std::string& storagePath,
                        bool succeeded);
    void onTaskError(const std::shared_ptr<TaskCallbacks>& callbacks, const engine::network::DownloadTask& task,
                     const std::string& error);
    void onUpdaterDownloaded(const engine::network::DownloadTask& task);

    std::shared_ptr<engine::network::Downloader> downloader;
    std::shared_ptr<engine::network::Downloader> updaterDownloader;
    std::shared_ptr<TaskCallbacks> newestTask;
    LifeToken life;
};
