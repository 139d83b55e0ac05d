#include "net/SoundFile.h"

#include "audio/DurationProbe.h"
#include "base/Log.h"
#include "platform/FileUtils.h"

namespace SoundFile {

bool keepIfSound(const std::string& path, const char* what) {
    engine::FileUtils* files = engine::FileUtils::getInstance();
    if (engine::DurationProbe::durationOf(files->fullPathForFilename(path)) > 0.f) {
        return true;
    }
    engine::log("%s is not a sound: %s", what, path.c_str());
    files->removeFile(path);
    return false;
}

} // namespace SoundFile
