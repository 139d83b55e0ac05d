#include "common/TipsManager.h"

#include <new>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "common/PlistManager.h"
#include "common/UITools.h"
#include "scene/Scene.h"
#include "ui/Text.h"

using engine::Node;

namespace {

TipsManager* s_instance = nullptr;

constexpr int kTipsZOrder = 106;
const char* const kWaitKey = "TipsManager::addWaitingTips";

} // namespace

TipsManager* TipsManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) TipsManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

void TipsManager::showTips(const std::string& text, const Callback& onButton2, const Callback& onButton1) {
    Node* root = UITools::createCsbNode("Tips.csb");
    if (!root) {
        return;
    }
    Node* background = UITools::seekChildByName(root, "BgImage1");
    if (background) {
        background->setVisible(true);
    } else {
        engine::log("error tips widget: BgImage1");
    }
    bindButton(root, background, "Button1", onButton1);
    bindButton(root, background, "Button2", onButton2);
    if (auto* content = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(background, "Content"))) {
        content->setString(text);
    } else {
        engine::log("error tips widget: Content");
    }

    engine::Director* director = engine::Director::getInstance();
    if (Node* scene = director->getRunningScene()) {
        // Tips still waiting for a scene go first, so the newest lies on top.
        if (!waitingTips.empty()) {
            addWaitingTips(0.f);
        }
        scene->addChild(root, kTipsZOrder);
        return;
    }
    root->retain();
    waitingTips.push_back(root);
    engine::Scheduler* scheduler = director->getScheduler();
    if (!scheduler->isScheduled(kWaitKey, this)) {
        scheduler->schedule([this](float dt) { addWaitingTips(dt); }, this, 0.f, false, kWaitKey);
    }
}

void TipsManager::showTipsByKey(const std::string& key, const Callback& onButton2, const Callback& onButton1) {
    showTips(PlistManager::getInstance()->getText(key), onButton2, onButton1);
}

void TipsManager::onButtonClicked(Node* root, const Callback& callback) {
    // The callback may take the dialog off the scene itself; keep it alive until it is removed here.
    root->retain();
    if (callback) {
        callback();
    }
    root->removeFromParentAndCleanup(true);
    root->release();
}

void TipsManager::bindButton(Node* root, Node* background, const std::string& name, const Callback& callback) {
    auto handler = [this, root, callback] { onButtonClicked(root, callback); };
    if (!background || !UITools::addClickListener(background, handler, false, "BtnClick.mp3", name)) {
        engine::log("error tips widget: %s", name.c_str());
    }
}

void TipsManager::addWaitingTips(float) {
    Node* scene = engine::Director::getInstance()->getRunningScene();
    if (!scene) {
        return;
    }
    std::vector<Node*> tips;
    tips.swap(waitingTips);
    for (Node* root : tips) {
        scene->addChild(root, kTipsZOrder);
        root->release();
    }
    engine::Director::getInstance()->getScheduler()->unschedule(kWaitKey, this);
}
