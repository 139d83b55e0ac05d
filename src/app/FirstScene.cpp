#include "app/FirstScene.h"

#include <new>

#include "base/Director.h"
#include "common/PlistManager.h"
#include "ui/Layout.h"
#include "ui/Text.h"

using namespace engine;

FirstScene* FirstScene::create() {
    auto* scene = new (std::nothrow) FirstScene();
    if (scene && scene->init()) {
        scene->autorelease();
        return scene;
    }
    delete scene;
    return nullptr;
}

bool FirstScene::init() {
    if (!Scene::init()) {
        return false;
    }
    const Size winSize = Director::getInstance()->getWinSize();

    auto* background = ui::Layout::create();
    background->setContentSize(winSize);
    background->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
    background->setBackGroundColor(Color3B(0xdf, 0xf1, 0xfb));
    addChild(background);

    auto* title = ui::Text::create("Classroom", "", 64);
    title->setTextColor(Color4B(0x33, 0x41, 0x4e, 0xff));
    title->setPosition(Vec2(winSize.width / 2, winSize.height / 2 + 30));
    addChild(title);

    const std::string version = PlistManager::getInstance()->getString("Configs.plist", "ClientVersion");
    auto* versionText = ui::Text::create("Version:" + version, "", 28);
    versionText->setName("Text_Version");
    versionText->setTextColor(Color4B(0x5f, 0x73, 0x84, 0xff));
    versionText->setPosition(Vec2(winSize.width / 2, winSize.height / 2 - 40));
    addChild(versionText);
    return true;
}
