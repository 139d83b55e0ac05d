#include "tools/ExaminationLayer.h"

#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/PlistManager.h"
#include "common/UITools.h"
#include "common/FileManager.h"
#include "render/TextureCache.h"
#include "scene/Sprite.h"
#include "scene/SpriteFrame.h"
#include "tools/BoardRows.h"
#include "topics/TopicManage.h"
#include "ui/ImageView.h"

namespace {

const char* const kClickSound = "BtnClick.mp3";

} // namespace

ExaminationLayer::~ExaminationLayer() {
    dropUnusedPictures();
}

void ExaminationLayer::dropUnusedPictures() {
    if (engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache()) {
        cache->removeUnusedTextures();
    }
    engine::SpriteFrameCache::getInstance()->removeUnusedSpriteFrames();
}

engine::ValueMap ExaminationLayer::itemAt(const engine::ValueVector& items, int index) {
    if (index < 0 || index >= static_cast<int>(items.size()) || items[index].getType() != engine::Value::Type::MAP) {
        return {};
    }
    return items[index].asValueMap();
}

std::string ExaminationLayer::itemString(const engine::ValueMap& item, const std::string& key) {
    const auto found = item.find(key);
    return found == item.end() ? std::string() : found->second.asString();
}

int ExaminationLayer::itemInt(const engine::ValueMap& item, const std::string& key) {
    const auto found = item.find(key);
    return found == item.end() ? 0 : found->second.asInt();
}

void ExaminationLayer::initData() {
    items = PlistManager::getInstance()->getValueVector(FileManager::getInstance()->getTopicPlistPath(), "Addition");
    item = itemAt(items, TopicManage::getInstance()->examItemIndex);
}

void ExaminationLayer::initRes() {
    root = UITools::createCsbNode("ExaminationLayer.csb");
    if (!root) {
        return;
    }
    addChild(root);
    leftButton = UITools::addClickListener(
        root, [this] { onPage(-1); }, false, kClickSound, "Btn_Left");
    rightButton = UITools::addClickListener(
        root, [this] { onPage(1); }, false, kClickSound, "Btn_Right");
    UITools::addClickListener(
        root, [this] { onReset(); }, false, kClickSound, "Btn_Reset");
    UITools::addClickListener(
        root, [this] { playDubbing(); }, false, kClickSound, "Btn_Voice");
    showItem(root, items, TopicManage::getInstance()->examItemIndex, "ExPanel");
}

void ExaminationLayer::showItem(engine::Node* root, const engine::ValueVector& items, int index,
                                const std::string& panelPrefix) {
    const engine::ValueMap item = itemAt(items, index);
    BoardRows::setVisible(root, "Btn_Left", !item.empty() && index > 0);
    BoardRows::setVisible(root, "Btn_Right", !item.empty() && index < static_cast<int>(items.size()) - 1);
    BoardRows::setText(root, "Text_Title", itemString(item, "Title"));
    BoardRows::setText(root, "Text_Content", itemString(item, "Stem"));
    if (item.empty()) {
        for (const char* name : {"CImage", "AImage", "Btn_Voice", "Btn_Reset"}) {
            BoardRows::setVisible(root, name, false);
        }
        return;
    }
    BoardRows::setVisible(root, engine::StringUtils::format("%s%d", panelPrefix.c_str(), itemInt(item, "Type")), true);
    loadItemImages(root, item);
}

void ExaminationLayer::loadItemImage(engine::Node* root, const engine::ValueMap& item, const std::string& widgetName,
                                     const std::string& key) {
    auto* image = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(root, widgetName));
    if (!image) {
        return;
    }
    const std::string path = FileManager::getInstance()->getTopicImgPath() + itemString(item, key);
    if (engine::Sprite* probe = engine::Sprite::create(path)) {
        image->ignoreContentAdaptWithSize(false);
        image->setContentSize(probe->getContentSize());
    }
    image->loadTexture(path);
    image->setScale(engine::Director::getInstance()->getContentScaleFactor());
}

void ExaminationLayer::loadItemImages(engine::Node* root, const engine::ValueMap& item) {
    loadItemImage(root, item, "CImage", "CImage");
    loadItemImage(root, item, "AImage", "AImage");
    auto* question = dynamic_cast<engine::ui::Widget*>(UITools::seekChildByName(root, "CImage"));
    if (!question) {
        return;
    }
    question->setTouchEnabled(true);
    question->addClickEventListener([root, question](engine::Ref*) {
        if (engine::Node* answer = UITools::seekChildByName(root, "AImage")) {
            question->setVisible(false);
            answer->setVisible(true);
        }
    });
}

void ExaminationLayer::onPage(int delta) {
    TopicManage::getInstance()->examItemIndex += delta;
    // The page stays; its layout is loaded afresh for the item now chosen.
    if (root) {
        root->removeFromParentAndCleanup(true);
        root = nullptr;
    }
    leftButton = rightButton = nullptr;
    initData();
    initRes();
}

void ExaminationLayer::onReset() {
    onPage(0);
}

std::string ExaminationLayer::getDubbingPath(const engine::ValueMap& item) {
    return FileManager::getInstance()->getMp3Path() + itemString(item, "Dubbing");
}

void ExaminationLayer::playDubbing(const engine::ValueMap& item) {
    AudioManager::getInstance()->playVoice(getDubbingPath(item), nullptr, false);
}

void ExaminationLayer::playDubbing() {
    playDubbing(item);
}
