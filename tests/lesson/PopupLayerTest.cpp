// The rest pop-up on its own: the break's callback runs once, with or without its animations.
#include <gtest/gtest.h>

#include "base/Director.h"
#include "base/Value.h"
#include "common/BaseScene.h"
#include "lesson/PopupLayer.h"
#include "platform/FileUtils.h"
#include "support/ClientTest.h"
#include "support/Headless.h"

namespace {

using support::click;
using support::findByName;

class Popup : public support::ClientTest {
protected:
    PopupLayer* open() {
        support::runScene(BaseScene::create());
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

} // namespace
