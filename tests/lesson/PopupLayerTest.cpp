// The rest and finish pop-up on its own: the break's callback runs once, with or without its animations, and the
// finish view clears the class and leads back to the login scene.
#include <gtest/gtest.h>

#include "base/Director.h"
#include "base/Value.h"
#include "common/BaseScene.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "lesson/PopupLayer.h"
#include "platform/FileUtils.h"
#include "scenes/LoginScene.h"
#include "support/ClientTest.h"
#include "support/Headless.h"

namespace {

using support::click;
using support::findByName;

class Popup : public support::ClientTest {
protected:
    // On a new scene; with pushed, a second one is pushed over it first.
    PopupLayer* open(bool pushed = false) {
        support::runScene(BaseScene::create());
        if (pushed) {
            engine::Director::getInstance()->pushScene(BaseScene::create());
            support::stepFrames(2);
        }
        PopupLayer* popup = PopupLayer::create();
        EXPECT_NE(popup, nullptr);
        engine::Director::getInstance()->getRunningScene()->addChild(popup, 106);
        return popup;
    }
};

TEST_F(Popup, BreakRunsItsCallbackOnceEvenWithoutItsAnimations) {
    for (bool withAnimations : {true, false}) {
        SCOPED_TRACE(withAnimations ? "with animations" : "without BreakRest and BreakStart");
        if (!withAnimations) {
            // The program folder comes first in the search paths: its list lacks the two break animations.
            auto* files = engine::FileUtils::getInstance();
            engine::ValueMap animations = files->getValueMapFromFile("Animations.plist");
            animations.erase("BreakRest");
            animations.erase("BreakStart");
            ASSERT_TRUE(files->writeValueMapToFile(animations, programFolder() + "Animations.plist"));
        }
        PopupLayer* popup = open();
        int calls = 0;
        popup->showRest([&calls] { ++calls; });
        support::stepFrames(5);
        click("Btn_Lock");
        click("Layout_RestStart");
        click("Layout_RestStart");
        EXPECT_TRUE(support::stepUntil([] { return findByName("Layout_Bg") == nullptr; }, 300));
        support::stepFrames(5);
        EXPECT_EQ(calls, 1);
    }
}

TEST_F(Popup, FinishViewClearsTheClassAndLeadsToLoginAlone) {
    GDataManager* data = GDataManager::getInstance();
    data->students.assign(3, StudentRecord{});
    CommonTools::getInstance()->groupScores = {3, 1, 2, 5};
    // The scene below the pushed one goes too.
    PopupLayer* popup = open(true);
    popup->showFinish();
    EXPECT_TRUE(data->getStudents().empty());
    EXPECT_EQ(CommonTools::getInstance()->groupScores, (std::array<int, 4>{0, 0, 0, 0}));
    const float top = engine::Director::getInstance()->getWinSize().height;
    for (const char* name : {"Btn_Again", "Btn_Finish"}) {
        EXPECT_GT(findByName(name)->getPositionY(), top) << name;
    }
    support::stepFrames(40);
    for (const char* name : {"Btn_Again", "Btn_Finish"}) {
        EXPECT_FLOAT_EQ(findByName(name)->getPositionY(), top) << name;
        EXPECT_FLOAT_EQ(findByName(name)->getScaleY(), 1.f) << name;
    }
    support::saveScreenshot("popup_finish");
    click("Btn_Again");
    support::stepFrames(3);
    EXPECT_NE(dynamic_cast<LoginScene*>(engine::Director::getInstance()->getRunningScene()), nullptr);
    EXPECT_EQ(engine::Director::getInstance()->getSceneStackSize(), 1u);
}

} // namespace
