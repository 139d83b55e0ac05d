#include "net/MovieCheck.h"

#include <sys/stat.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>
#include <utility>

#include "base/Log.h"
#include "base/Scheduler.h"
#include "net/MovieFile.h"
#include "platform/FileUtils.h"
#include "scene/Node.h"

namespace {

std::string fullPathOf(const std::string& path) {
    const std::string full = engine::FileUtils::getInstance()->fullPathForFilename(path);
    return full.empty() ? path : full;
}

// What tells a file changed: its inode, its size and the time of its last write, in nanoseconds.
using Stamp = std::tuple<long long, long long, long long>;

Stamp stampOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return {-1, -1, -1};
    }
    return {static_cast<long long>(info.st_ino), static_cast<long long>(info.st_size),
            static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec};
}

// Files checked, by path, with their stamp and whether they passed (main thread only): the check costs a parse of
// up to its time-out on every entry.
std::map<std::string, std::pair<Stamp, bool>>& checkedFiles() {
    static std::map<std::string, std::pair<Stamp, bool>> checked;
    return checked;
}

} // namespace

struct MovieCheck::Run {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool playable = false;
    // The file as it was before the check read it: a change while it ran is checked again next time.
    Stamp stamp;
};

MovieCheck::MovieCheck(const std::string& path, std::string what, Refused refused)
    : _path(fullPathOf(path)), _what(std::move(what)), _refused(refused), _run(std::make_shared<Run>()) {
    _run->stamp = stampOf(_path);
    const auto checked = checkedFiles().find(_path);
    if (checked != checkedFiles().end() && checked->second.first == _run->stamp) {
        _run->done = true;
        _run->playable = checked->second.second;
        return;
    }
    std::thread([run = _run, file = _path] {
        const bool playable = MovieFile::isPlayable(file);
        std::lock_guard<std::mutex> lock(run->mutex);
        run->playable = playable;
        run->done = true;
        run->ended.notify_all();
    }).detach();
}

bool MovieCheck::whenChecked(engine::Node* owner, const std::string& path, std::string what, Refused refused,
                             std::function<void(bool kept)> then) {
    static const std::string kKey = "movieCheck";
    if (owner->getScheduler()->isScheduled(kKey, owner)) {
        return false;
    }
    auto check = std::make_shared<MovieCheck>(path, std::move(what), refused);
    if (check->isDone()) {
        then(check->finish());
        return true;
    }
    owner->schedule(
        [owner, check, then](float) {
            if (!check->isDone()) {
                return;
            }
            // The timer holds these: copies, since unschedule drops it.
            const auto running = check;
            const auto done = then;
            owner->unschedule(kKey);
            done(running->finish());
        },
        kKey);
    return true;
}

bool MovieCheck::isDone() const {
    std::lock_guard<std::mutex> lock(_run->mutex);
    return _run->done;
}

bool MovieCheck::finish() {
    bool playable = false;
    {
        std::unique_lock<std::mutex> lock(_run->mutex);
        _run->ended.wait(lock, [this] { return _run->done; });
        playable = _run->playable;
    }
    if (playable) {
        checkedFiles()[_path] = {_run->stamp, true};
        return true;
    }
    engine::log("%s is not a movie: %s", _what.c_str(), _path.c_str());
    if (_refused == Refused::KEEP) {
        checkedFiles()[_path] = {_run->stamp, false};
    } else {
        checkedFiles().erase(_path);
        engine::FileUtils::getInstance()->removeFile(_path);
    }
    return false;
}
