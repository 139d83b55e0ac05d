#include "common/FileManager.h"

#include <new>

#include "common/CoursewareData.h"
#include "platform/FileUtils.h"

namespace {

FileManager* s_instance = nullptr;

std::string lastComponent(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

FileManager* FileManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) FileManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

std::string FileManager::getExeFolder() const {
    std::string folder = engine::FileUtils::getInstance()->getDefaultResourceRootPath();
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string FileManager::getResRoot() const {
    return getExeFolder() + "res/";
}

std::string FileManager::ensureFolder(const std::string& folder) const {
    const std::string path = getResRoot() + folder;
    auto* files = engine::FileUtils::getInstance();
    if (!files->isDirectoryExist(path)) {
        files->createDirectory(path);
    }
    return path;
}

std::string FileManager::getCourseIconsPath() const {
    return ensureFolder("CourseIcons/");
}

std::string FileManager::getHeadImgsPath() const {
    return ensureFolder("HeadImgs/");
}

std::string FileManager::getNetResPath() const {
    return ensureFolder("NetRes/");
}

std::string FileManager::getSimpleGamePath() const {
    return ensureFolder("SimpleGame/");
}

std::string FileManager::currentPackagePath(const char* tail) const {
    return getNetResPath() + CoursewareData::currentIdentify() + tail;
}

std::string FileManager::getTopicPlistPath() const {
    return currentPackagePath("/Topic.plist");
}

std::string FileManager::getSumMoviePath(const CoursewareData& record) const {
    return getNetResPath() + CoursewareData::identifyOf(record) + "/mp4/SumMovie";
}

std::string FileManager::getCurrentSumMoviePath() const {
    return currentPackagePath("/mp4/SumMovie");
}

std::string FileManager::getLecMoviePath() const {
    return currentPackagePath("/mp4/LecMovie");
}

std::string FileManager::getAddMoviePath() const {
    return currentPackagePath("/mp4/AddMovie");
}

std::string FileManager::getTopicAniPath() const {
    return currentPackagePath("/TopicAni/");
}

std::string FileManager::getTopicImgPath() const {
    return currentPackagePath("/TopicImg/");
}

std::string FileManager::getMp3Path() const {
    return currentPackagePath("/mp3/");
}

std::string FileManager::getGameImgPath() const {
    return currentPackagePath("/GameImg/");
}

std::string FileManager::getFileName(const std::string& path) {
    const std::string name = lastComponent(path);
    const size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FileManager::getFileSuffix(const std::string& path) {
    const std::string name = lastComponent(path);
    const size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(dot);
}
