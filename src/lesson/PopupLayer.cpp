#include "lesson/PopupLayer.h"

#include "base/Director.h"
#include "base/Log.h"
#include "common/CommonTools.h"
#include "common/ExitApp.h"
#include "common/GDataManager.h"
#include "common/SFAnimation.h"
#include "common/Routes.h"
#include "common/UITools.h"
#include "scene/Actions.h"
#include "scene/Sprite.h"
#include "ui/Button.h"
#include "ui/Widget.h"

namespace {

// The still that an animation leaves standing at its end.
constexpr int kStillTag = 10086;
// The rest animation, which loops until the break ends.
constexpr int kRestAnimationTag = 10087;
constexpr float kEntranceStep = 0.17f;

engine::Size winSize() {
    return engine::Director::getInstance()->getWinSize();
}

engine::ui::Widget* widget(engine::Node* root, const char* name) {
    return UITools::seekWidget<engine::ui::Widget>(root, name, "PopupLayer.csb");
}

// The view's decoration, designed around the middle of a 720-point window, stays in the middle of any window.
void centreDecoration(engine::Node* root, const char* name) {
    if (engine::Node* centre = UITools::seekChildByName(root, name)) {
        centre->setPosition(engine::Vec2(winSize().width / 2, winSize().height / 2));
    }
}

void removeChildrenTagged(engine::Node* parent, int tag) {
    while (engine::Node* child = parent->getChildByTag(tag)) {
        child->removeFromParentAndCleanup(true);
    }
}

} // namespace

PopupLayer::~PopupLayer() = default;

void PopupLayer::initData() {
    lockButton = unlockButton = againButton = finishButton = nullptr;
    restCallback = nullptr;
    breakEnding = false;
}

void PopupLayer::initRes() {
    rootNode = UITools::createCsbNode("PopupLayer.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    const char* sound = "BtnClick.mp3";
    lockButton = dynamic_cast<engine::ui::Button*>(
        UITools::addClickListener(rootNode, life.guard([this] { onLock(); }), false, sound, "Btn_Lock"));
    unlockButton = dynamic_cast<engine::ui::Button*>(
        UITools::addClickListener(rootNode, life.guard([this] { onUnLock(); }), false, sound, "Btn_UnLock"));
    finishButton = dynamic_cast<engine::ui::Button*>(UITools::addClickListener(
        rootNode, [] { exitApp(); }, false, sound, "Btn_Finish"));
    againButton = dynamic_cast<engine::ui::Button*>(UITools::addClickListener(
        rootNode, [] { Routes::toLogin(); }, false, sound, "Btn_Again"));
}

void PopupLayer::screenAdaptation() {
    if (!rootNode) {
        return;
    }
    const engine::Size size = winSize();
    if (engine::ui::Widget* background = widget(rootNode, "Layout_Bg")) {
        background->setPosition(engine::Vec2(size.width / 2, size.height / 2));
        background->setContentSize(size);
    }
    for (engine::ui::Button* button : {againButton, finishButton}) {
        if (button) {
            button->setPositionY(size.height + button->getContentSize().height);
        }
    }
    centreDecoration(rootNode, "Node_RestCentre");
    centreDecoration(rootNode, "Node_FinishCentre");
}

void PopupLayer::showRest(const RestCallback& callback) {
    restCallback = callback;
    if (!rootNode) {
        return;
    }
    engine::Node* centre = UITools::createCenterNode(rootNode);
    if (engine::ui::Widget* restView = widget(rootNode, "Layout_RestStart")) {
        restView->setVisible(true);
        restView->setTouchEnabled(true);
        restView->addClickEventListener(life.guard([this](engine::Ref*) { onBreakEnd(); }));
        restView->setContentSize(winSize());
    }
    if (engine::Sprite* rest =
            SFAnimation::getInstance()->playAnimationAtNode(centre, "BreakRest", false, nullptr, false, 0, 0)) {
        rest->setTag(kRestAnimationTag);
    }
}

void PopupLayer::onBreakEnd() {
    if (!rootNode || breakEnding || (lockButton && lockButton->isVisible())) {
        return;
    }
    breakEnding = true;
    // The rest animation loops until now; it goes with the still it may have left.
    removeChildrenTagged(rootNode, kStillTag);
    removeChildrenTagged(rootNode, kRestAnimationTag);
    engine::Node* centre = UITools::createCenterNode(rootNode);
    SFAnimation::getInstance()->playAnimationAtNode(centre, "BreakStart", false,
                                                    life.guard([this] { runCallbackAndClose(); }), false, 0, 0);
}

void PopupLayer::runCallbackAndClose() {
    retain();
    const RestCallback callback = std::move(restCallback);
    restCallback = nullptr;
    if (callback) {
        callback();
    }
    removeFromParentAndCleanup(true);
    release();
}

void PopupLayer::onLock() {
    if (lockButton && unlockButton) {
        lockButton->setVisible(false);
        unlockButton->setVisible(true);
    }
}

void PopupLayer::onUnLock() {
    if (lockButton && unlockButton) {
        unlockButton->setVisible(false);
        lockButton->setVisible(true);
    }
}

void PopupLayer::showFinish() {
    const engine::Size size = winSize();
    if (engine::ui::Widget* finishView = rootNode ? widget(rootNode, "Layout_Finish") : nullptr) {
        finishView->setVisible(true);
        finishView->setContentSize(size);
    }
    GDataManager::getInstance()->students.clear();
    CommonTools::getInstance()->groupScores.fill(0);
    for (engine::ui::Button* button : {againButton, finishButton}) {
        if (!button) {
            continue;
        }
        auto* squash = engine::Sequence::create(engine::ScaleTo::create(kEntranceStep, 1.0f, 1.2f),
                                                engine::ScaleTo::create(kEntranceStep, 1.0f, 0.8f),
                                                engine::ScaleTo::create(kEntranceStep, 1.0f));
        auto* drop = engine::MoveTo::create(kEntranceStep, engine::Vec2(button->getPositionX(), size.height));
        button->runAction(engine::Spawn::create(squash, drop));
    }
}
