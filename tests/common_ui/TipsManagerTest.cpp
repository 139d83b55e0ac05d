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

class TipsTest : public CommonUiTest {
protected:
    void startScene() {
        support::runScene(BaseScene::create());
        scene = engine::Director::getInstance()->getRunningScene();
    }

    int countDialogs() const {
        int dialogs = 0;
        for (Node* child : scene->getChildren()) {
            if (UITools::seekChildByName(child, "BgImage1")) {
                ++dialogs;
            }
        }
        return dialogs;
    }

    Node* topDialog() const {
        Node* top = nullptr;
        for (Node* child : scene->getChildren()) {
            if (UITools::seekChildByName(child, "BgImage1")) {
                top = child;
            }
        }
        return top;
    }

    std::string contentOf(Node* dialog) const {
        return dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(dialog, "Content"))->getString();
    }

    TipsManager* tips() const { return TipsManager::getInstance(); }

    Node* scene = nullptr;
};

class TipsDialog : public TipsTest {};

TEST_F(TipsDialog, EachButtonRunsItsOwnCallbackOnceAndCloses) {
    startScene();
    engine::ui::Layout* screen = engine::ui::Layout::create();
    screen->setContentSize(engine::Director::getInstance()->getWinSize());
    screen->setBackGroundColorType(engine::ui::Layout::BackGroundColorType::SOLID);
    screen->setBackGroundColor(engine::Color3B(0xea, 0xf6, 0xfd));
    scene->addChild(screen);

    int ok = 0, cancel = 0;
    tips()->showTips(
        "The lecture has a newer version. Update it now?", [&] { ++ok; }, [&] { ++cancel; });
    ASSERT_EQ(countDialogs(), 1);
    Node* dialog = topDialog();
    EXPECT_EQ(dialog->getLocalZOrder(), 106);
    EXPECT_TRUE(UITools::seekChildByName(dialog, "BgImage1")->isVisible());
    EXPECT_EQ(contentOf(dialog), "The lecture has a newer version. Update it now?");
    support::stepFrames(1);
    EXPECT_FALSE(support::saveScreenshot("tips_dialog").empty());

    ASSERT_TRUE(support::click("Button2"));
    support::stepFrames(2);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(cancel, 0);
    EXPECT_EQ(countDialogs(), 0);

    tips()->showTips(
        "Again", [&] { ++ok; }, [&] { ++cancel; });
    ASSERT_TRUE(support::click("Button1"));
    support::stepFrames(2);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(cancel, 1);
    EXPECT_EQ(countDialogs(), 0);
}

TEST_F(TipsDialog, EmptyCallbacksOnlyClose) {
    startScene();
    for (const char* button : {"Button1", "Button2"}) {
        tips()->showTips("Nothing happens", nullptr, nullptr);
        ASSERT_TRUE(support::click(button));
        EXPECT_EQ(countDialogs(), 0) << button;
    }
}

TEST_F(TipsDialog, ButtonClickSoundComesBeforeTheCallback) {
    startScene();
    size_t soundsAtCallback = 0;
    tips()->showTips(
        "Sound", [&] { soundsAtCallback = playedSounds.size(); }, nullptr);
    ASSERT_TRUE(support::click("Button2"));
    ASSERT_EQ(soundsAtCallback, 1u);
    EXPECT_EQ(playedSounds[0], "BtnClick.mp3");
}

TEST_F(TipsDialog, TextByKeyOrEmptyForAMissingKey) {
    startScene();
    writeScratch("Strings.plist",
                 R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)"
                 R"(<key>HttpStr1</key><string>The network is not available.</string></dict></plist>)");
    tips()->showTipsByKey("HttpStr1", nullptr, nullptr);
    EXPECT_EQ(contentOf(topDialog()), "The network is not available.");
    tips()->showTipsByKey("NoSuchKey", nullptr, nullptr);
    EXPECT_EQ(contentOf(topDialog()), "");
}

TEST_F(TipsDialog, StackedDialogsCloseFromTheTop) {
    startScene();
    int first = 0, second = 0;
    tips()->showTips(
        "First", [&] { ++first; }, nullptr);
    tips()->showTips(
        "Second", [&] { ++second; }, nullptr);
    ASSERT_EQ(countDialogs(), 2);
    ASSERT_TRUE(support::click("Button2"));
    EXPECT_EQ(second, 1);
    EXPECT_EQ(first, 0);
    ASSERT_EQ(countDialogs(), 1);
    EXPECT_EQ(contentOf(topDialog()), "First");
}

TEST_F(TipsDialog, CallbackThatRemovesTheDialogItself) {
    startScene();
    int runs = 0;
    tips()->showTips(
        "Self",
        [&] {
            ++runs;
            scene->removeChild(topDialog());
        },
        nullptr);
    ASSERT_TRUE(support::click("Button2"));
    support::stepFrames(2);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(countDialogs(), 0);
}

TEST_F(TipsDialog, ATipBeforeTheFirstSceneWaitsForIt) {
    int ok = 0;
    tips()->showTips(
        "Early", [&] { ++ok; }, nullptr);
    support::stepFrames(2);
    startScene();
    support::stepFrames(2);
    ASSERT_EQ(countDialogs(), 1);
    EXPECT_EQ(topDialog()->getLocalZOrder(), 106);
    ASSERT_TRUE(support::click("Button2"));
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(countDialogs(), 0);
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
    EXPECT_EQ(countDialogs(), 0);

    writeScratch("Tips.csb", "not a layout");
    tips()->showTips("Broken", nullptr, nullptr);
    EXPECT_EQ(countDialogs(), 0);
}
