#include <gtest/gtest.h>

#include "CommonUiFixture.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "ui/Layout.h"
#include "ui/Text.h"

using common_ui::CommonUiTest;
using common_ui::layoutJson;
using engine::Node;

class TipsDialog : public CommonUiTest {
protected:
    void startScene() {
        support::runScene(BaseScene::create());
        scene = engine::Director::getInstance()->getRunningScene();
    }

    std::vector<Node*> dialogs() const {
        std::vector<Node*> found;
        for (Node* child : scene->getChildren()) {
            if (UITools::seekChildByName(child, "BgImage1")) {
                found.push_back(child);
            }
        }
        return found;
    }

    std::string topText() const {
        return dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(dialogs().back(), "Content"))->getString();
    }

    TipsManager* tips() const { return TipsManager::getInstance(); }

    Node* scene = nullptr;
};

TEST_F(TipsDialog, EachButtonRunsItsOwnCallbackOnceAndCloses) {
    startScene();
    engine::ui::Layout* screen = engine::ui::Layout::create();
    screen->setContentSize(engine::Director::getInstance()->getWinSize());
    screen->setBackGroundColorType(engine::ui::Layout::BackGroundColorType::SOLID);
    screen->setBackGroundColor(engine::Color3B(0xea, 0xf6, 0xfd));
    scene->addChild(screen);

    int ok = 0, cancel = 0;
    std::vector<std::string> soundsAtOk;
    tips()->showTips(
        "The lecture has a newer version. Update it now?",
        [&] {
            ++ok;
            soundsAtOk = playedSounds;
        },
        [&] { ++cancel; });
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0]->getLocalZOrder(), 106);
    EXPECT_TRUE(UITools::seekChildByName(dialogs()[0], "BgImage1")->isVisible());
    EXPECT_EQ(topText(), "The lecture has a newer version. Update it now?");
    EXPECT_FALSE(support::saveScreenshot("tips_dialog").empty());

    ASSERT_TRUE(support::click("Button2"));
    support::stepFrames(2);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(cancel, 0);
    EXPECT_EQ(soundsAtOk, std::vector<std::string>{"BtnClick.mp3"});
    EXPECT_TRUE(dialogs().empty());

    tips()->showTips(
        "Again", [&] { ++ok; }, [&] { ++cancel; });
    ASSERT_TRUE(support::click("Button1"));
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(cancel, 1);
    EXPECT_TRUE(dialogs().empty());

    tips()->showTips("Empty callbacks only close", nullptr, nullptr);
    ASSERT_TRUE(support::click("Button1"));
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(TipsDialog, TextByKeyOrEmptyForAMissingKey) {
    startScene();
    writeScratch("Strings.plist",
                 R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)"
                 R"(<key>HttpStr1</key><string>The network is not available.</string></dict></plist>)");
    tips()->showTipsByKey("HttpStr1", nullptr, nullptr);
    EXPECT_EQ(topText(), "The network is not available.");
    tips()->showTipsByKey("NoSuchKey", nullptr, nullptr);
    EXPECT_EQ(topText(), "");
}

TEST_F(TipsDialog, StackedDialogsCloseFromTheTop) {
    startScene();
    int first = 0, second = 0;
    tips()->showTips(
        "First", [&] { ++first; }, nullptr);
    // A callback may take its own dialog away.
    tips()->showTips(
        "Second", [&] { ++second, scene->removeChild(dialogs().back()); }, nullptr);
    ASSERT_EQ(dialogs().size(), 2u);
    ASSERT_TRUE(support::click("Button2"));
    EXPECT_EQ(second, 1);
    EXPECT_EQ(first, 0);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(topText(), "First");
}

TEST_F(TipsDialog, ATipBeforeTheFirstSceneWaitsForIt) {
    int ok = 0;
    tips()->showTips(
        "Early", [&] { ++ok; }, nullptr);
    support::stepFrames(2);
    startScene();
    support::stepFrames(2);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0]->getLocalZOrder(), 106);
    ASSERT_TRUE(support::click("Button2"));
    EXPECT_EQ(ok, 1);
}

TEST_F(TipsDialog, MissingWidgetsAreLoggedAndSkipped) {
    startScene();
    writeScratch("Tips.csb", layoutJson(R"(
        { "kind": "ImageView", "name": "BgImage1", "pos": [640, 360], "size": [560, 320], "visible": false,
          "children": [ { "kind": "Button", "name": "Button2", "pos": [410, 62], "size": [180, 64] } ] })"));
    int ok = 0;
    tips()->showTips(
        "No text widget", [&] { ++ok; }, nullptr);
    EXPECT_TRUE(logged("Button1"));
    EXPECT_TRUE(logged("Content"));
    ASSERT_TRUE(support::click("Button2"));
    EXPECT_EQ(ok, 1);
    EXPECT_TRUE(dialogs().empty());

    // A layout that cannot be used gives way to the program's own.
    writeScratch("Tips.csb", "not a layout");
    tips()->showTips("Broken", nullptr, nullptr);
    EXPECT_EQ(dialogs().size(), 1u);
}
