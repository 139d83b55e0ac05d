#include "net/PictureFile.h"

#include <utility>

#include "base/Director.h"
#include "base/Log.h"
#include "platform/FileUtils.h"
#include "render/TextureCache.h"

namespace PictureFile {

namespace {

engine::TextureCache* textures() {
    return engine::Director::getInstance()->getTextureCache();
}

void refuse(const std::string& path, const std::string& what) {
    engine::log("%s is not a picture: %s", what.c_str(), path.c_str());
    engine::FileUtils::getInstance()->removeFile(path);
}

// True when the file may be decoded; otherwise it is removed, with its log line.
bool mayDecode(const std::string& path, uint64_t maxBytes, const char* what, bool arrived) {
    const long size = engine::FileUtils::getInstance()->getFileSize(path);
    const bool tooLong = maxBytes != 0 && size > 0 && static_cast<uint64_t>(size) > maxBytes;
    if (arrived) {
        textures()->removeTextureForKey(path);
    }
    if (!tooLong && size > 0) {
        return true;
    }
    if (tooLong) {
        engine::log("%s is longer than %llu bytes: %s", what, static_cast<unsigned long long>(maxBytes), path.c_str());
        engine::FileUtils::getInstance()->removeFile(path);
    } else {
        refuse(path, what);
    }
    return false;
}

} // namespace

bool keepIfPicture(const std::string& path, uint64_t maxBytes, const char* what, bool arrived, int maxSide) {
    if (!mayDecode(path, maxBytes, what, arrived)) {
        return false;
    }
    if (textures()->addImage(path, maxSide)) {
        return true;
    }
    refuse(path, what);
    return false;
}

void keepIfPictureAsync(const std::string& path, uint64_t maxBytes, const char* what, bool arrived, int maxSide,
                        std::function<void(bool)> done, int keptSide) {
    if (!mayDecode(path, maxBytes, what, arrived)) {
        done(false);
        return;
    }
    textures()->addImageAsync(
        path,
        [path, what = std::string(what), done](engine::Texture2D* texture) {
            if (!texture) {
                refuse(path, what);
            }
            done(texture != nullptr);
        },
        maxSide, keptSide);
}

void keepIfSmallPictureAsync(const std::string& path, uint64_t maxBytes, const char* what, bool arrived,
                             std::function<void(bool)> done) {
    keepIfPictureAsync(path, maxBytes, what, arrived, engine::limits::kSmallPictureSide, std::move(done),
                       engine::limits::kSmallPictureKeptSide);
}

} // namespace PictureFile
