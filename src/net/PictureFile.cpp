#include "net/PictureFile.h"

#include "base/Director.h"
#include "base/Log.h"
#include "platform/FileUtils.h"
#include "render/TextureCache.h"

namespace PictureFile {

bool keepIfPicture(const std::string& path, uint64_t maxBytes, const char* what, bool arrived) {
    engine::FileUtils* files = engine::FileUtils::getInstance();
    const long size = files->getFileSize(path);
    const bool tooLong = maxBytes != 0 && size > 0 && static_cast<uint64_t>(size) > maxBytes;
    engine::TextureCache* textures = engine::Director::getInstance()->getTextureCache();
    if (arrived) {
        textures->removeTextureForKey(path);
    }
    if (!tooLong && size > 0 && textures->addImage(path)) {
        return true;
    }
    if (tooLong) {
        engine::log("%s is longer than %llu bytes: %s", what, static_cast<unsigned long long>(maxBytes), path.c_str());
    } else {
        engine::log("%s is not a picture: %s", what, path.c_str());
    }
    files->removeFile(path);
    return false;
}

} // namespace PictureFile
