#include "net/SoundFile.h"

#include "base/Log.h"
#include "door/SoundDoor.h"
#include "platform/FileUtils.h"

namespace SoundFile {

bool keepIfSound(const std::string& path, const char* what) {
    engine::FileUtils* files = engine::FileUtils::getInstance();
    const std::string fullPath = files->fullPathForFilename(path);
    if (!fullPath.empty() && !engine::door::wasRefused(fullPath) &&
        engine::door::checkSound(fullPath, engine::door::SoundUse::VOICE).ok()) {
        return true;
    }
    engine::log("%s is not a sound: %s", what, path.c_str());
    files->removeFile(path);
    return false;
}

} // namespace SoundFile
