#include "scenes/PupilChain.h"

#include "base/InputLimits.h"
#include "base/StringUtils.h"
#include "common/GDataManager.h"
#include "common/JsonManager.h"
#include "net/DownManager.h"
#include "net/FileManager.h"
#include "net/PictureFile.h"
#include "platform/FileUtils.h"

PupilChain::~PupilChain() {
    DownManager::getInstance()->releaseCallbacks(lifeToken.handle());
}

void PupilChain::start(const rapidjson::Value& data, std::function<void()> done) {
    studentIndex = 0;
    running = true;
    onDone = std::move(done);
    downloadHeadImages(JsonManager::getInstance()->toString(data));
}

void PupilChain::downloadHeadImages(const std::string& text) {
    JsonManager* json = JsonManager::getInstance();
    rapidjson::Document document = json->parse(text);
    const rapidjson::Value* items = json->asArray(document, "getStudentList");
    if (!items || studentIndex >= static_cast<int>(items->Size())) {
        running = false;
        if (onDone) {
            // The callback may replace the scene that holds this chain: nothing here runs after it.
            const std::function<void()> done = std::move(onDone);
            onDone = nullptr;
            done();
        }
        return;
    }
    const rapidjson::Value& item = (*items)[static_cast<rapidjson::SizeType>(studentIndex)];
    const std::string pic = json->getString(item, "pic");
    std::string suffix = json->getString(item, "picSuffix");
    // Where the download would store it.
    if (!DownManager::isSafeExtension(suffix)) {
        suffix = ".png";
    }
    const std::string name = FileManager::getFileName(pic);
    // An address that names no file has nothing to fetch: the default head.
    if (name.empty()) {
        addStudent("", text);
        return;
    }
    const std::string fileName = name + suffix;
    const std::string localPath = FileManager::getInstance()->getHeadImgsPath() + fileName;
    if (!engine::FileUtils::getInstance()->isFileExist(localPath)) {
        downloadHead(pic, suffix, text);
        return;
    }
    checkHead(localPath, false, [this, fileName, pic, suffix, text](bool usable) {
        if (usable) {
            addStudent(fileName, text);
        } else {
            downloadHead(pic, suffix, text);
        }
    });
}

void PupilChain::downloadHead(const std::string& pic, const std::string& suffix, const std::string& text) {
    DownManager* downloads = DownManager::getInstance();
    downloads->downloadHeadImage(pic, suffix);
    // A head that did not arrive, or is no picture, shows the default head.
    downloads->finishCallback = lifeToken.guard([this, text](const std::string& storagePath, bool succeeded) {
        if (!succeeded) {
            addStudent("", text);
            return;
        }
        checkHead(storagePath, true,
                  [this, storagePath, text](bool usable) { addStudent(usable ? storagePath : "", text); });
    });
    downloads->callbackOwner = lifeToken.handle();
}

void PupilChain::checkHead(const std::string& path, bool arrived, std::function<void(bool)> then) {
    PictureFile::keepIfPictureAsync(path, engine::limits::kPictureBytes, "head image", arrived,
                                    engine::limits::kSmallPictureSide, lifeToken.guard(std::move(then)));
}

void PupilChain::addStudent(const std::string& headImagePath, const std::string& text) {
    JsonManager* json = JsonManager::getInstance();
    rapidjson::Document document = json->parse(text);
    const rapidjson::Value* items = json->asArray(document, "getStudentList");
    const bool present = items && studentIndex < static_cast<int>(items->Size());
    const rapidjson::Value* entry = present ? &(*items)[static_cast<rapidjson::SizeType>(studentIndex)] : nullptr;
    if (entry && entry->IsObject()) {
        const rapidjson::Value& item = *entry;
        StudentRecord pupil;
        pupil.id = json->getIntOrText(item, "id");
        pupil.name = json->getString(item, "name");
        pupil.sex = json->getIntOrText(item, "sex");
        pupil.listIndex = studentIndex;
        pupil.number = studentIndex + 1;
        pupil.headImage =
            headImagePath.empty() ? engine::StringUtils::format("HeadImg%d.png", pupil.sex) : headImagePath;
        GDataManager::getInstance()->students.push_back(pupil);
    }
    ++studentIndex;
    downloadHeadImages(text);
}
