#include "net/MovieCheck.h"

#include "base/Log.h"
#include "net/MovieFile.h"
#include "platform/FileUtils.h"

namespace {

std::string fullPathOf(const std::string& path) {
    const std::string full = engine::FileUtils::getInstance()->fullPathForFilename(path);
    return full.empty() ? path : full;
}

} // namespace

MovieCheck::MovieCheck(const std::string& path, std::string what) : _path(fullPathOf(path)), _what(std::move(what)) {
    _thread = std::thread([this] {
        _playable = MovieFile::isPlayable(_path);
        _done.store(true, std::memory_order_release);
    });
}

MovieCheck::~MovieCheck() {
    if (_thread.joinable()) {
        _thread.join();
    }
}

bool MovieCheck::finish() {
    if (_thread.joinable()) {
        _thread.join();
    }
    if (_playable) {
        return true;
    }
    engine::log("%s is not a movie: %s", _what.c_str(), _path.c_str());
    engine::FileUtils::getInstance()->removeFile(_path);
    return false;
}
