#include "lesson/DownloadLayer.h"

#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "net/DownManager.h"
#include "common/FileManager.h"
#include "net/SqManager.h"
#include "ui/LoadingBar.h"
#include "ui/Text.h"

DownloadLayer::~DownloadLayer() {
    // Only while the download service's callbacks are still this overlay's: a later overlay may own them now.
    DownManager::getInstance()->releaseCallbacks(life.handle());
}

void DownloadLayer::initData() {
    records.clear();
    finishCallback = nullptr;
    startedCount = 0;
}

void DownloadLayer::initRes() {
    rootNode = UITools::createCsbNode("DownloadLayer.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    if (engine::Node* aniPos = UITools::seekChildByName(rootNode, "AniPos")) {
        SFAnimation::getInstance()->playAnimationAtNode(aniPos, "Downloading", true, nullptr, false, 0, 0);
    }
}

void DownloadLayer::screenAdaptation() {
    if (!rootNode) {
        return;
    }
    // The loader raised it by the layout offset; it covers the whole window instead.
    if (engine::Node* panel = UITools::seekChildByName(rootNode, "Layout_LoadPanel")) {
        panel->setPositionY(0);
        panel->setContentSize(engine::Director::getInstance()->getWinSize());
    }
}

void DownloadLayer::addTask(const DownloadRecord& record) {
    records.push_back(record);
}

void DownloadLayer::startNext() {
    ++startedCount;
    const size_t total = records.size();
    if (auto* text = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(rootNode, "Text_Progress"))) {
        text->setString(engine::StringUtils::format("%d/%lu", startedCount, static_cast<unsigned long>(total)));
    }
    if (static_cast<size_t>(startedCount) > total) {
        // Once only, and the layer outlives an opener that removes its own screen in the callback.
        retain();
        const std::function<void()> done = std::move(finishCallback);
        finishCallback = nullptr;
        if (done) {
            done();
        }
        removeFromParentAndCleanup(true);
        release();
        return;
    }
    setBarPercent(0);
    DownManager* down = DownManager::getInstance();
    down->downloadFile(records[startedCount - 1]);
    down->progressCallback = life.guard([this](int percent) { onProgress(percent); });
    down->finishCallback =
        life.guard([this](const std::string& storagePath, bool succeeded) { onFileDone(storagePath, succeeded); });
    down->callbackOwner = life.handle();
}

void DownloadLayer::onProgress(int percent) {
    setBarPercent(percent);
}

void DownloadLayer::onFileDone(const std::string& storagePath, bool succeeded) {
    if (succeeded && FileManager::getFileSuffix(storagePath) == ".zip") {
        SqManager::getInstance()->addUnzipTask(storagePath, unzipFinishCallback);
    }
    startNext();
}

void DownloadLayer::setBarPercent(int filePercent) {
    auto* bar = dynamic_cast<engine::ui::LoadingBar*>(UITools::seekChildByName(rootNode, "LoadingBar"));
    if (!bar || records.empty()) {
        return;
    }
    // The whole list: a small file arrives within one frame, so a bar of the current file alone is never drawn
    // other than empty.
    const float done = static_cast<float>(startedCount - 1) * 100.f + static_cast<float>(filePercent);
    bar->setPercent(done / static_cast<float>(records.size()));
}
