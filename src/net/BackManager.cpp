#include "net/BackManager.h"

#include <filesystem>
#include <new>
#include <vector>

#include "base/InputLimits.h"
#include "base/Log.h"
#include "common/CommonTools.h"
#include "common/JsonManager.h"
#include "common/PlatformFunc.h"
#include "common/PlistManager.h"
#include "net/DownManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "net/PictureFile.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"

namespace {

BackManager* s_instance = nullptr;

std::vector<int> versionParts(const std::string& text) {
    std::vector<int> parts;
    if (!text.empty()) {
        CommonTools::getInstance()->splitToInt(text, parts, ".");
    }
    return parts;
}

std::vector<std::string> textsOf(const engine::ValueMap& map, const std::string& key) {
    std::vector<std::string> texts;
    auto it = map.find(key);
    if (it == map.end() || it->second.getType() != engine::Value::Type::VECTOR) {
        return texts;
    }
    for (const engine::Value& value : it->second.asValueVector()) {
        if (value.getType() == engine::Value::Type::STRING) {
            texts.push_back(value.asString());
        }
    }
    return texts;
}

// "<a><b><cc>" with a 1-6, b 1-4 and cc 01-12: the lesson files of an older layout.
bool isOldLessonName(const std::string& name) {
    if (name.size() != 4 || name[0] < '1' || name[0] > '6' || name[1] < '1' || name[1] > '4' || name[2] < '0' ||
        name[2] > '1' || name[3] < '0' || name[3] > '9') {
        return false;
    }
    const int lesson = (name[2] - '0') * 10 + (name[3] - '0');
    return lesson >= 1 && lesson <= 12;
}

// The clean-up touches only what is there, and logs what it removed.
void removeUnusedFile(const std::string& path) {
    auto* files = engine::FileUtils::getInstance();
    if (files->isFileExist(path) && files->removeFile(path)) {
        engine::log("removed unused file %s", path.c_str());
    }
}

void removeUnusedFolder(const std::string& path) {
    PlatformFunc* platform = PlatformFunc::getInstance();
    if (!platform->isDirExist(path)) {
        return;
    }
    platform->removeDir(path);
    if (!platform->isDirExist(path)) {
        engine::log("removed unused folder %s", path.c_str());
    }
}

} // namespace

BackManager* BackManager::getInstance() {
    if (!s_instance) {
        auto* manager = new (std::nothrow) BackManager();
        if (manager && !manager->init()) {
            delete manager;
            manager = nullptr;
        }
        s_instance = manager;
    }
    return s_instance;
}

bool BackManager::init() {
    logoCallback = nullptr;
    return true;
}

void BackManager::removeUnusedFiles() {
    const engine::ValueMap unused = PlistManager::getInstance()->getValueMap("Configs.plist", "UnusedFile");
    if (unused.empty()) {
        return;
    }
    FileManager* paths = FileManager::getInstance();
    const std::string root = paths->getResRoot();
    for (const std::string& file : textsOf(unused, "UnusedFiles")) {
        removeUnusedFile(root + file);
    }
    for (const std::string& folder : textsOf(unused, "UnusedFolders")) {
        removeUnusedFolder(root + folder);
    }
    // One listing of the folder rather than a look for each of the 288 old names.
    const std::string netRes = paths->getNetResPath();
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(netRes, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    for (const std::string& name : names) {
        if (isOldLessonName(name)) {
            removeUnusedFolder(netRes + name);
        } else if (name.size() == 10 && name.compare(4, 6, ".plist") == 0 && isOldLessonName(name.substr(0, 4))) {
            removeUnusedFile(netRes + name);
        }
    }
}

void BackManager::checkVersion() {
    const bool frameWindow = PlistManager::getInstance()->getString("Configs.plist", "WindowType") == "FrameWindow";
    HttpManager::getInstance()->sendRequest(
        "version", [this](const std::string& name, rapidjson::Value& data) { onVersion(name, data); }, true, "union",
        nullptr, {{"id", frameWindow ? "13" : "10"}});
}

bool BackManager::isNewerVersion(const std::string& server, const std::string& installed) {
    const std::vector<int> serverParts = versionParts(server);
    const std::vector<int> installedParts = versionParts(installed);
    if (serverParts.empty() || serverParts.size() != installedParts.size()) {
        return false;
    }
    for (size_t i = 0; i < serverParts.size(); ++i) {
        if (serverParts[i] != installedParts[i]) {
            return serverParts[i] > installedParts[i];
        }
    }
    return false;
}

void BackManager::onVersion(const std::string&, rapidjson::Value& data) {
    JsonManager* json = JsonManager::getInstance();
    const std::string installed = PlistManager::getInstance()->getString("Configs.plist", "UpdaterVersion");
    if (!isNewerVersion(json->getString(data, "version"), installed)) {
        return;
    }
    const std::string url = json->getString(data, "url");
    if (url.empty()) {
        engine::log("updater version %s has no url", json->getString(data, "version").c_str());
        return;
    }
    DownloadRecord record;
    record.url = url;
    record.storagePath = FileManager::getInstance()->getExeFolder() + FileManager::getFileName(url) + ".zip";
    record.identifier = ".zip";
    DownManager::getInstance()->downloadUpdater(record);
}

void BackManager::loadInstitutionLogo(const std::string& address) {
    logoName = FileManager::getFileName(address) + ".png";
    const std::string storagePath = FileManager::getInstance()->getNetResPath() + logoName;
    if (logoName != SqManager::getInstance()->getBaseData("InstitutionLogo")) {
        downloadLogo(address, storagePath);
        return;
    }
    // The stored logo is kept only while it still decodes (checked on the decoding thread): one cut on disk is
    // removed and fetched again.
    const std::string name = logoName;
    PictureFile::keepIfSmallPictureAsync(storagePath, engine::limits::kPictureBytes, "institution logo", false,
                                         [this, address, storagePath, name](bool kept) {
                                             if (kept || name != logoName) {
                                                 return;
                                             }
                                             SqManager::getInstance()->setBaseData("InstitutionLogo", "");
                                             downloadLogo(address, storagePath);
                                         });
}

void BackManager::downloadLogo(const std::string& address, const std::string& storagePath) {
    DownloadRecord record;
    record.url = address;
    record.storagePath = storagePath;
    record.identifier = ".png";
    DownManager* down = DownManager::getInstance();
    down->downloadFile(record);
    down->finishCallback = [this](const std::string& storagePath, bool succeeded) {
        if (succeeded) {
            onLogoDownloaded(storagePath);
        } else {
            engine::log("institution logo not loaded: %s", storagePath.c_str());
        }
    };
}

void BackManager::onLogoDownloaded(const std::string& storagePath) {
    // Not stored when it is no picture, so the next login fetches it again.
    const std::string name = logoName;
    PictureFile::keepIfSmallPictureAsync(storagePath, engine::limits::kPictureBytes, "institution logo", true,
                                         [this, name](bool kept) {
                                             if (!kept) {
                                                 return;
                                             }
                                             SqManager::getInstance()->setBaseData("InstitutionLogo", name);
                                             if (logoCallback) {
                                                 auto callback = logoCallback;
                                                 logoCallback = nullptr;
                                                 callback();
                                             }
                                         });
}
