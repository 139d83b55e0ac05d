#include "scenes/TouTopicScene.h"

#include <algorithm>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "games/SimpleGame.h"
#include "games/SimpleGameManager.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "platform/FileUtils.h"
#include "render/TextureCache.h"
#include "scene/Actions.h"
#include "scenes/SceneWidgets.h"
#include "scenes/TouLectureScene.h"
#include "tools/DrawBoardLayer.h"
#include "tools/MusicLayer.h"
#include "tools/TeachLayer.h"
#include "ui/ImageView.h"

using engine::Node;
using engine::StringUtils::format;
using engine::ui::ImageView;

namespace {

constexpr int kThumbSlots = 6;
constexpr int kToolZOrder = 105;
constexpr float kPanelTime = 0.3f;
const char* const kFirstOrLastFrame = "TouTopic/TouTopic_Img_Bg1.png";
const char* const kPageFrame = "TouTopic/TouTopic_Img_Bg2.png";

} // namespace

TouTopicScene::~TouTopicScene() {
    // Nothing counts as shown any more: every page picture leaves the cache with the scene.
    root = nullptr;
    releaseHiddenPages();
}

std::string TouTopicScene::pagePath(int number) const {
    return format("%s/%d.png", folder.c_str(), number);
}

void TouTopicScene::initData() {
    page = thumbSlot = firstThumb = pageCount = 1;
    folder = FileManager::getInstance()->getNetResPath() + CoursewareManager::getInstance()->getCurrentIdentify();
    settingsOpen = false;
    auto* files = engine::FileUtils::getInstance();
    while (files->isFileExist(pagePath(pageCount))) {
        ++pageCount;
    }
    --pageCount;
}

void TouTopicScene::initRes() {
    root = UITools::createCsbNode("TouTopicScene.csb");
    if (!root) {
        return;
    }
    addChild(root);
    UITools::showClientBackground(root);
    SceneWidgets::bindClick(
        root, "Btn_Return", [this] { onReturn(); }, true);
    SceneWidgets::bindClick(
        root, "Btn_Prev", [this] { onPrevPage(); }, false);
    SceneWidgets::bindClick(
        root, "Btn_Next", [this] { onNextPage(); }, false);
    if (!SimpleGameManager::getInstance()->getItems().empty()) {
        if (Node* game = SceneWidgets::bindClick(
                root, "Btn_Game", [this] { onGameClicked(); }, false)) {
            game->setVisible(true);
        }
    }
    SceneWidgets::bindClick(
        root, "Btn_Set", [this] { onSetClicked(); }, false);
    SceneWidgets::bindClick(
        root, "Btn_Nav", [this] { onNavClicked(); }, false);
    SceneWidgets::bindClick(
        root, "Btn_Draw", [this] { onDrawClicked(); }, false);
    SceneWidgets::bindClick(
        root, "Btn_Teaching", [this] { onTeachingClicked(); }, false);
    SceneWidgets::bindClick(
        root, "Btn_Music", [this] { onMusicClicked(); }, false);
    SceneWidgets::bindClick(
        root, "Btn_NavLeft", [this] { onPrevPage(); }, false);
    SceneWidgets::bindClick(
        root, "Btn_NavRight", [this] { onNextPage(); }, false);
    setPanel = SceneWidgets::find(root, "Img_SetBg");
    if (setPanel) {
        setPanel->setScaleX(0.f);
    }
}

void TouTopicScene::screenAdaptation() {
    if (Node* tab = root ? SceneWidgets::find(root, "Panel_Tab") : nullptr) {
        tab->setPositionY(0.f);
    }
}

void TouTopicScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    AudioManager::getInstance()->stopBackgroundMusic();
    showPage();
}

void TouTopicScene::showPage() {
    if (!root) {
        return;
    }
    const bool atEnd = (thumbSlot == 1 && page == 1) || (thumbSlot == kThumbSlots && page == pageCount);
    if (auto* frame = SceneWidgets::find<ImageView>(root, "Img_Bg1")) {
        frame->loadTexture(atEnd ? kFirstOrLastFrame : kPageFrame);
    }
    if (auto* content = SceneWidgets::find<ImageView>(root, "Img_Content")) {
        if (pageCount == 0) {
            // Nothing to show: no placeholder box in the middle of the screen.
            content->setVisible(false);
        } else if (decoding.count(pagePath(page))) {
            // Its decode is on the way: the old page stays until it arrives, so the click does not wait for it.
            waitingForDecode = true;
        } else {
            content->loadTexture(pagePath(page));
            content->setVisible(true);
            const engine::Size picture = content->getVirtualRendererSize();
            if (picture.width > 0.f) {
                const float width = engine::Director::getInstance()->getWinSize().width;
                content->ignoreContentAdaptWithSize(false);
                content->setContentSize(engine::Size(width, picture.height * width / picture.width));
            }
        }
    }
    refreshThumbnails();
}

void TouTopicScene::refreshThumbnails() {
    alignThumbnailStrip();
    Node* marker = SceneWidgets::find(root, "Img_Select");
    for (int slot = 1; slot <= kThumbSlots; ++slot) {
        auto* thumb = SceneWidgets::find<ImageView>(root, format("Img_Nav%d", slot));
        if (!thumb) {
            continue;
        }
        const int number = firstThumb + slot - 1;
        // Slots past the last page stay empty rather than showing missing pictures.
        const bool hasPage = number <= pageCount;
        thumb->setVisible(hasPage);
        if (hasPage && decoding.count(pagePath(number))) {
            waitingForDecode = true;
        } else {
            thumb->loadTexture(hasPage ? pagePath(number) : "");
        }
        thumb->setTouchEnabled(hasPage);
        thumb->addClickEventListener(
            [this, slot](engine::Ref* sender) { onThumbnailClicked(static_cast<Node*>(sender), slot); });
        if (slot == thumbSlot && marker) {
            marker->setPosition(thumb->getPosition());
        }
    }
    releaseHiddenPages();
    prefetchNeighbours();
}

void TouTopicScene::alignThumbnailStrip() {
    if (thumbSlot != 1 && thumbSlot != kThumbSlots) {
        return;
    }
    Node* strip = SceneWidgets::find(root, "Panel_Nav");
    Node* selected = SceneWidgets::find(root, format("Img_Nav%d", thumbSlot));
    if (!strip || !selected) {
        return;
    }
    const float x = selected->getPositionX();
    float shift = 0.f;
    if (thumbSlot == kThumbSlots) {
        const float overflow = x + selected->getContentSize().width - strip->getContentSize().width;
        shift = overflow > 0.f ? -overflow : 0.f;
    } else if (x < 0.f) {
        shift = -x;
    }
    if (shift == 0.f) {
        return;
    }
    for (int slot = 1; slot <= kThumbSlots; ++slot) {
        if (Node* thumb = UITools::seekChildByName(root, format("Img_Nav%d", slot))) {
            thumb->setPositionX(thumb->getPositionX() + shift);
        }
    }
}

void TouTopicScene::onPrevPage() {
    page = std::max(page - 1, 1);
    if (--thumbSlot < 1) {
        thumbSlot = 1;
        firstThumb = std::max(firstThumb - 1, 1);
    }
    showPage();
}

void TouTopicScene::onNextPage() {
    if (engine::FileUtils::getInstance()->isFileExist(pagePath(page + 1))) {
        ++page;
        if (++thumbSlot > kThumbSlots) {
            thumbSlot = kThumbSlots;
            firstThumb = firstThumb + kThumbSlots > page ? page - kThumbSlots + 1 : firstThumb + 1;
        }
    }
    showPage();
}

void TouTopicScene::onThumbnailClicked(Node*, int slot) {
    const int number = firstThumb + slot - 1;
    if (slot < 1 || slot > kThumbSlots || number > pageCount) {
        return;
    }
    thumbSlot = slot;
    page = number;
    showPage();
}

void TouTopicScene::onReturn() {
    if (TouLectureScene* lectures = TouLectureScene::create()) {
        engine::Director::getInstance()->replaceScene(lectures);
    }
}

void TouTopicScene::setSettingsOpen(bool open) {
    if (setPanel) {
        setPanel->runAction(engine::ScaleTo::create(kPanelTime, open ? 1.f : 0.f, 1.f));
    }
    settingsOpen = open;
}

void TouTopicScene::onSetClicked() {
    setSettingsOpen(!settingsOpen);
}

void TouTopicScene::onNavClicked() {
    if (Node* strip = SceneWidgets::find(root, "Img_NavBg")) {
        strip->setVisible(!strip->isVisible());
    }
    setSettingsOpen(false);
}

void TouTopicScene::onDrawClicked() {
    if (DrawBoardLayer* board = DrawBoardLayer::create()) {
        root->addChild(board, kToolZOrder);
    }
    setSettingsOpen(false);
}

void TouTopicScene::onTeachingClicked() {
    if (engine::FileUtils::getInstance()->isFileExist(folder + "/Teach1.png")) {
        auto* teach = new (std::nothrow) TeachLayer();
        if (teach && teach->init()) {
            teach->autorelease();
            addChild(teach);
        } else {
            delete teach;
        }
    } else {
        TipsManager::getInstance()->showTipsByKey("TeachStr1", nullptr, nullptr);
    }
    setSettingsOpen(false);
}

void TouTopicScene::onMusicClicked() {
    if (MusicLayer* music = MusicLayer::create()) {
        addChild(music, kToolZOrder);
    }
    setSettingsOpen(false);
}

void TouTopicScene::onGameClicked() {
    if (SimpleGame* game = SimpleGame::create()) {
        addChild(game, kToolZOrder);
    }
}

void TouTopicScene::releaseHiddenPages() {
    std::set<std::string> kept;
    if (root) {
        for (const char* name :
             {"Img_Content", "Img_Nav1", "Img_Nav2", "Img_Nav3", "Img_Nav4", "Img_Nav5", "Img_Nav6"}) {
            auto* image = dynamic_cast<ImageView*>(UITools::seekChildByName(root, name));
            if (image && image->isVisible() && !image->getTextureFile().empty()) {
                kept.insert(image->getTextureFile());
            }
        }
        // The pages to show, which may still be decoding, and the shown one's neighbours.
        for (int number = firstThumb; number < firstThumb + kThumbSlots; ++number) {
            if (number <= pageCount) {
                kept.insert(pagePath(number));
            }
        }
        for (int number : {page - 1, page, page + 1}) {
            if (number >= 1 && number <= pageCount) {
                kept.insert(pagePath(number));
            }
        }
    }
    auto* cache = engine::Director::getInstance()->getTextureCache();
    for (const std::string& picture : keptPictures) {
        if (!kept.count(picture)) {
            cache->removeTextureForKey(picture);
        }
    }
    keptPictures = std::move(kept);
}

void TouTopicScene::prefetchNeighbours() {
    auto* cache = engine::Director::getInstance()->getTextureCache();
    for (int number : {page + 1, page - 1}) {
        const std::string path = pagePath(number);
        if (number < 1 || number > pageCount || cache->getTextureForKey(path) || decoding.count(path)) {
            continue;
        }
        decoding.insert(path);
        cache->addImageAsync(path, [this, alive = life.handle(), path](engine::Texture2D*) {
            // A page the viewer has moved away from, or a viewer that has gone, keeps nothing in the cache.
            if (alive.expired() || !keptPictures.count(path)) {
                engine::Director::getInstance()->getTextureCache()->removeTextureForKey(path);
            }
            if (alive.expired()) {
                return;
            }
            decoding.erase(path);
            if (waitingForDecode) {
                waitingForDecode = false;
                showPage();
            }
        });
    }
}
