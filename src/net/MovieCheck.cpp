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
#include "net/MovieFile.h"
#include "platform/FileUtils.h"

struct MovieCheck::Run {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool playable = false;
};

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

// Files that passed, by path (main thread only): the check costs a parse of up to its time-out on every entry.
std::map<std::string, Stamp>& passedFiles() {
    static std::map<std::string, Stamp> passed;
    return passed;
}

} // namespace

MovieCheck::MovieCheck(const std::string& path, std::string what)
    : _path(fullPathOf(path)), _what(std::move(what)), _run(std::make_shared<Run>()) {
    const auto passed = passedFiles().find(_path);
    if (passed != passedFiles().end() && passed->second == stampOf(_path)) {
        _run->done = _run->playable = true;
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
        passedFiles()[_path] = stampOf(_path);
        return true;
    }
    passedFiles().erase(_path);
    engine::log("%s is not a movie: %s", _what.c_str(), _path.c_str());
    engine::FileUtils::getInstance()->removeFile(_path);
    return false;
}
