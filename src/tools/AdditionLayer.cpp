#include "tools/AdditionLayer.h"

#include "common/PlistManager.h"
#include "common/UITools.h"
#include "lesson/VideoLayer.h"
#include "common/FileManager.h"
#include "tools/ExaminationLayer.h"
#include "ui/ImageView.h"

namespace {

const char* const kClickSound = "BtnClick.mp3";

} // namespace

int AdditionLayer::currentIndex = 0;

AdditionLayer* AdditionLayer::create(int index) {
    currentIndex = index;
    return createLayer<AdditionLayer>();
}

AdditionLayer::~AdditionLayer() {
    ExaminationLayer::dropUnusedPictures();
}

void AdditionLayer::initData() {
    items = PlistManager::getInstance()->getValueVector(FileManager::getInstance()->getTopicPlistPath(), "Addition");
    item = ExaminationLayer::itemAt(items, currentIndex);
}

void AdditionLayer::initRes() {
    rootNode = UITools::createCsbNode("AdditionLayer.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    leftButton = UITools::addClickListener(
        rootNode, [this] { onPage(-1); }, false, kClickSound, "Btn_Left");
    rightButton = UITools::addClickListener(
        rootNode, [this] { onPage(1); }, false, kClickSound, "Btn_Right");
    UITools::addClickListener(
        rootNode, [this] { onReset(); }, false, kClickSound, "Btn_Reset");
    UITools::addClickListener(
        rootNode, [this] { UITools::removeSelf(this); }, false, kClickSound, "Btn_Close");
    UITools::addClickListener(
        rootNode, [this] { ExaminationLayer::playDubbing(item); }, false, kClickSound, "Btn_Voice");
    initImages();
    initVideo();
}

void AdditionLayer::initImages() {
    ExaminationLayer::showItem(rootNode, items, currentIndex, "AdPanel");
}

void AdditionLayer::initVideo() {
    const std::string base = FileManager::getInstance()->getAddMoviePath();
    if (auto* still = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(rootNode, "PerImg"))) {
        still->loadTexture(base + ".png");
    }
    UITools::addClickListener(
        rootNode, [base] { VideoLayer::playVideo(base + ".mp4"); }, false, kClickSound, "PlayBtn");
}

void AdditionLayer::onPage(int delta) {
    engine::Node* parent = getParent();
    AdditionLayer* next = create(currentIndex + delta);
    retain();
    if (parent && next) {
        parent->addChild(next);
    }
    removeFromParentAndCleanup(true);
    release();
}

void AdditionLayer::onReset() {
    onPage(0);
}
