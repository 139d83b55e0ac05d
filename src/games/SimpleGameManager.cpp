#include "games/SimpleGameManager.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <new>

#include <zlib.h>

#include "base/InputLimits.h"
#include "base/Log.h"
#include "common/JsonManager.h"
#include "net/DownManager.h"
#include "common/FileManager.h"
#include "net/PictureFile.h"
#include "net/SoundFile.h"
#include "platform/FileUtils.h"

namespace {

SimpleGameManager* s_instance = nullptr;

} // namespace

SimpleGameManager* SimpleGameManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) SimpleGameManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

void SimpleGameManager::destroyInstance() {
    if (s_instance) {
        s_instance->release();
        s_instance = nullptr;
    }
}

std::string SimpleGameManager::localPathOf(const std::string& url, const std::string& extension) {
    if (url.empty()) {
        return "";
    }
    const uLong crc =
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(url.data()), static_cast<uInt>(url.size()));
    char hex[16];
    std::snprintf(hex, sizeof hex, "_%08lx", crc);
    std::string name = FileManager::getFileName(url);
    // Query marks, backslashes and the like never reach the file system.
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c) && c != '-' && c != '_'; }, '_');
    return FileManager::getInstance()->getSimpleGamePath() + name + hex + extension;
}

bool SimpleGameManager::keepIfUsable(const std::string& path, bool arrived) {
    if (!engine::FileUtils::getInstance()->isFileExist(path)) {
        return false;
    }
    return FileManager::getFileSuffix(path) == ".mp3"
               ? SoundFile::keepIfSound(path, "question sound")
               : PictureFile::keepIfPicture(path, engine::limits::kPictureBytes, "question picture", arrived);
}

void SimpleGameManager::localize(std::string& remote, const std::string& extension) {
    const std::string local = localPathOf(remote, extension);
    if (!local.empty() && !keepIfUsable(local, false)) {
        const bool queued = std::any_of(missingFiles.begin(), missingFiles.end(),
                                        [&](const DownloadRecord& record) { return record.storagePath == local; });
        if (!queued) {
            missingFiles.push_back(DownloadRecord{"", remote, local, extension});
        }
    }
    remote = local;
}

void SimpleGameManager::dropArrivedFiles() {
    std::erase_if(missingFiles, [](const DownloadRecord& record) { return keepIfUsable(record.storagePath, true); });
}

bool SimpleGameManager::isAnswerable(const SimpleGameItem& item) {
    if (item.answers.empty()) {
        return false;
    }
    const int answer = std::atoi(item.answers[0].c_str());
    return answer >= 1 && answer <= std::min(static_cast<int>(item.operImgs.size()), kOptionBoxes);
}

void SimpleGameManager::buildLists(const rapidjson::Value& data) {
    items.clear();
    missingFiles.clear();
    JsonManager* json = JsonManager::getInstance();
    json->forEachObject(json->asArray(data, "getCourseQuestionList"), "question", [&](const rapidjson::Value& element) {
        SimpleGameItem item = json->readQuestion(element);
        // A question no click can answer would hold the game on its page.
        if (!isAnswerable(item)) {
            engine::log("error question %d: no option answers it", item.id);
            return;
        }
        localize(item.music, ".mp3");
        localize(item.lookImg, ".png");
        for (std::string& picture : item.contImgs) {
            localize(picture, ".png");
        }
        for (std::string& picture : item.operImgs) {
            localize(picture, ".png");
        }
        items.push_back(std::move(item));
    });
}
