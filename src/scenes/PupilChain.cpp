#include "scenes/PupilChain.h"

#include <unordered_map>

#include "base/Director.h"
#include "base/InputLimits.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/JsonManager.h"
#include "net/DownManager.h"
#include "common/FileManager.h"
#include "net/NetLimits.h"
#include "net/PictureFile.h"
#include "platform/FileUtils.h"
#include "render/TextureCache.h"

PupilChain::~PupilChain() {
    DownManager::getInstance()->releaseCallbacks(lifeToken.handle());
}

void PupilChain::start(const rapidjson::Value& data, std::function<void()> done) {
    DownManager::getInstance()->releaseCallbacks(lifeToken.handle());
    ++generation;
    pupils.clear();
    appended = 0;
    headBytes = 0;
    running = true;
    onDone = std::move(done);
    JsonManager* json = JsonManager::getInstance();
    if (const rapidjson::Value* items = json->asArray(data, "getStudentList")) {
        pupils.resize(items->Size());
        for (rapidjson::SizeType i = 0; i < items->Size(); ++i) {
            const rapidjson::Value& item = (*items)[i];
            Pupil& pupil = pupils[i];
            pupil.leader = i;
            pupil.isObject = item.IsObject();
            if (!pupil.isObject) {
                continue;
            }
            pupil.record.id = json->getIntOrText(item, "id");
            pupil.record.name = json->getString(item, "name");
            pupil.record.sex = json->getIntOrText(item, "sex");
            pupil.record.listIndex = static_cast<int>(i);
            pupil.record.number = static_cast<int>(i) + 1;
            pupil.pic = json->getString(item, "pic");
            pupil.suffix = json->getString(item, "picSuffix");
            // Where the download would store it.
            if (!DownManager::isSafeExtension(pupil.suffix)) {
                pupil.suffix = ".png";
            }
            const std::string name = FileManager::getFileName(pupil.pic);
            // An address that names no file has nothing to fetch: the default head.
            pupil.fileName = name.empty() ? std::string() : name + pupil.suffix;
        }
    }
    // Every head is asked for before any answer is used; pupils of one head file wait for its first pupil.
    asking = true;
    std::unordered_map<std::string, size_t> leaders;
    for (size_t i = 0; i < pupils.size(); ++i) {
        Pupil& pupil = pupils[i];
        if (!pupil.isObject || pupil.fileName.empty()) {
            pupil.settled = true;
            continue;
        }
        const auto [leader, first] = leaders.emplace(pupil.fileName, i);
        if (first) {
            fetchHead(i);
        } else {
            pupil.leader = leader->second;
            pupils[leader->second].followers.push_back(i);
        }
    }
    asking = false;
    appendSettled();
}

void PupilChain::fetchHead(size_t index) {
    const Pupil& pupil = pupils[index];
    const std::string localPath = FileManager::getInstance()->getHeadImgsPath() + pupil.fileName;
    if (!engine::FileUtils::getInstance()->isFileExist(localPath)) {
        downloadHead(index);
        return;
    }
    checkHead(localPath, false, [this, index, localPath, asked = generation](bool usable) {
        if (asked != generation) {
            return;
        }
        if (usable) {
            settle(index, pupils[index].fileName, localPath);
        } else {
            downloadHead(index);
        }
    });
}

void PupilChain::downloadHead(size_t index) {
    DownManager* downloads = DownManager::getInstance();
    downloads->downloadHeadImage(pupils[index].pic, pupils[index].suffix);
    // A head that did not arrive, or is no picture, shows the default head.
    downloads->finishCallback =
        lifeToken.guard([this, index, asked = generation](const std::string& storagePath, bool succeeded) {
            if (asked != generation) {
                return;
            }
            if (!succeeded) {
                settle(index, "", "");
                return;
            }
            checkHead(storagePath, true, [this, index, storagePath, asked](bool usable) {
                if (asked == generation) {
                    settle(index, usable ? storagePath : "", usable ? storagePath : "");
                }
            });
        });
    downloads->callbackOwner = lifeToken.handle();
}

void PupilChain::checkHead(const std::string& path, bool arrived, std::function<void(bool)> then) {
    PictureFile::keepIfPictureAsync(path, engine::limits::kPictureBytes, "head image", arrived,
                                    engine::limits::kSmallPictureSide, lifeToken.guard(std::move(then)));
}

void PupilChain::settle(size_t index, const std::string& head, const std::string& headFile) {
    Pupil& pupil = pupils[index];
    pupil.settled = true;
    pupil.head = head;
    pupil.headFile = headFile;
    for (size_t follower : pupil.followers) {
        pupils[follower].settled = true;
    }
    appendSettled();
}

void PupilChain::appendSettled() {
    if (asking || !running) {
        return;
    }
    while (appended < pupils.size() && pupils[appended].settled) {
        Pupil& pupil = pupils[appended];
        if (pupil.leader != appended) {
            // The head of its first pupil, as that one was kept.
            pupil.head = pupils[pupil.leader].head;
        } else if (!pupil.headFile.empty()) {
            engine::FileUtils* files = engine::FileUtils::getInstance();
            const long bytes = files->getFileSize(pupil.headFile);
            if (bytes > 0 && headBytes + static_cast<uint64_t>(bytes) > netlimits::kClassHeadBytes) {
                engine::log("head image past the class's %llu bytes of heads: %s",
                            static_cast<unsigned long long>(netlimits::kClassHeadBytes), pupil.headFile.c_str());
                engine::Director::getInstance()->getTextureCache()->removeTextureForKey(pupil.headFile);
                files->removeFile(pupil.headFile);
                pupil.head.clear();
            } else if (bytes > 0) {
                headBytes += static_cast<uint64_t>(bytes);
            }
        }
        if (pupil.isObject) {
            StudentRecord record = pupil.record;
            record.headImage =
                pupil.head.empty() ? engine::StringUtils::format("HeadImg%d.png", record.sex) : pupil.head;
            GDataManager::getInstance()->students.push_back(std::move(record));
        }
        ++appended;
    }
    if (appended < pupils.size()) {
        return;
    }
    running = false;
    pupils.clear();
    if (onDone) {
        // The callback may replace the scene that holds this chain: nothing here runs after it.
        const std::function<void()> done = std::move(onDone);
        onDone = nullptr;
        done();
    }
}
