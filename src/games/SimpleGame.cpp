#include "games/SimpleGame.h"

#include <algorithm>
#include <cstdlib>

#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "games/SimpleGameManager.h"
#include "lesson/DownloadLayer.h"
#include "scene/Sprite.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using engine::Node;
using engine::StringUtils::format;

namespace {

constexpr int kOverlayZOrder = 105;
constexpr int kOptionBoxes = SimpleGameManager::kOptionBoxes;
const char* const kClickSound = "BtnClick.mp3";

} // namespace

void SimpleGame::initData() {
    rootNode = nullptr;
    itemIndex = 0;
    locked = false;
    filesRequested = false;
}

void SimpleGame::initRes() {
    UITools::removeSelf(rootNode);
    rootNode = UITools::createCsbNode("SimpleGame.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    UITools::addClickListener(
        rootNode, [this] { UITools::removeSelf(this); }, true, kClickSound, "Btn_Return");
    UITools::addClickListener(
        rootNode, [this] { playVoice(); }, true, kClickSound, "Btn_Voice");

    SimpleGameManager* games = SimpleGameManager::getInstance();
    games->dropArrivedFiles();
    DownloadLayer* overlay = filesRequested || games->getMissingFiles().empty() ? nullptr : DownloadLayer::create();
    filesRequested = true;
    if (!overlay) {
        buildQuestion();
        return;
    }
    for (const DownloadRecord& record : games->getMissingFiles()) {
        overlay->addTask(record);
    }
    // The files stay listed until they are on disk: one that fails, or is left when the game closes, is fetched
    // at the next opening.
    overlay->finishCallback = life.guard([this] {
        SimpleGameManager::getInstance()->dropArrivedFiles();
        buildQuestion();
    });
    overlay->startNext();
    addChild(overlay, kOverlayZOrder);
}

void SimpleGame::buildQuestion() {
    const std::vector<SimpleGameItem>& items = SimpleGameManager::getInstance()->getItems();
    if (itemIndex >= static_cast<int>(items.size())) {
        UITools::removeSelf(this);
        return;
    }
    const SimpleGameItem item = items[itemIndex];
    if (auto* title = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(rootNode, "Text_Title"))) {
        title->setString(item.title);
    }
    if (!item.contImgs.empty()) {
        fitImageInBox("Layout_Content", "Img_Content", item.contImgs[0]);
    }
    const int options = std::min(static_cast<int>(item.operImgs.size()), kOptionBoxes);
    for (int j = 0; j < options; ++j) {
        const std::string boxName = format("Img_SelectBg%d", j + 1);
        fitImageInBox(boxName, "Img_Content", item.operImgs[j]);
        // An option whose picture did not arrive still answers, as its empty box.
        if (auto* box = dynamic_cast<engine::ui::Widget*>(UITools::seekChildByName(rootNode, boxName))) {
            box->setTouchEnabled(true);
            box->addClickEventListener([this, j](engine::Ref* sender) { checkAnswer(sender, j); });
        }
    }
    centreOptions(options);
}

engine::ui::ImageView* SimpleGame::fitImageInBox(const std::string& boxName, const std::string& imageName,
                                                 const std::string& file) {
    Node* box = UITools::seekChildByName(rootNode, boxName);
    if (!box) {
        return nullptr;
    }
    box->setVisible(true);
    const engine::Size boxSize = box->getContentSize();
    auto* image = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(box, imageName));
    if (!image) {
        return nullptr;
    }
    image->setVisible(true);
    engine::Sprite* probe = file.empty() ? nullptr : engine::Sprite::create(file);
    if (!probe) {
        // A file that did not arrive leaves the box empty.
        image->loadTexture("");
        return nullptr;
    }
    image->loadTexture(file);
    const engine::Size size = probe->getContentSize();
    image->ignoreContentAdaptWithSize(false);
    image->setContentSize(size);
    if (size.width > boxSize.width || size.height > boxSize.height) {
        image->setScale(std::min(boxSize.height / size.height, boxSize.width / size.width));
    }
    return image;
}

void SimpleGame::centreOptions(int count) {
    Node* first = UITools::seekChildByName(rootNode, "Img_SelectBg1");
    Node* last = UITools::seekChildByName(rootNode, format("Img_SelectBg%d", kOptionBoxes));
    if (!first || !last || count < 1) {
        return;
    }
    const float left = first->getPositionX();
    const float pitch = (last->getPositionX() - left) / (kOptionBoxes - 1);
    const float start = left + pitch * static_cast<float>(kOptionBoxes - count) / 2.f;
    for (int j = 0; j < count; ++j) {
        if (Node* box = UITools::seekChildByName(rootNode, format("Img_SelectBg%d", j + 1))) {
            box->setPositionX(start + pitch * static_cast<float>(j));
        }
    }
}

void SimpleGame::playVoice() {
    const std::vector<SimpleGameItem>& items = SimpleGameManager::getInstance()->getItems();
    if (itemIndex < static_cast<int>(items.size()) && !items[itemIndex].music.empty()) {
        AudioManager::getInstance()->playVoice(items[itemIndex].music, nullptr, false);
    }
}

void SimpleGame::checkAnswer(engine::Ref*, int option) {
    const std::vector<SimpleGameItem>& items = SimpleGameManager::getInstance()->getItems();
    if (locked || itemIndex >= static_cast<int>(items.size())) {
        return;
    }
    const std::vector<std::string>& answers = items[itemIndex].answers;
    if (answers.empty()) {
        return;
    }
    showFeedback(option + 1 == std::atoi(answers[0].c_str()));
}

void SimpleGame::showFeedback(bool right) {
    locked = true;
    const engine::Size window = engine::Director::getInstance()->getWinSize();
    // A missing animation still calls back on the next frame, so the game never stays locked.
    SFAnimation::getInstance()->playAnimation(this, right ? "RightCommon" : "WrongCommon2", true,
                                              life.guard([this, right] { onFeedbackEnd(right); }), true, 0, 0,
                                              engine::Vec2(window.width / 2, window.height / 2));
    AudioManager::getInstance()->playVoice(right ? "RightCommon.mp3" : "WrongCommon.mp3", nullptr, false);
}

void SimpleGame::onFeedbackEnd(bool right) {
    locked = false;
    if (right) {
        ++itemIndex;
        initRes();
    }
}
