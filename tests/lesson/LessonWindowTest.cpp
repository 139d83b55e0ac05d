// The lesson player's screens on a window taller than 16:9.
#include <gtest/gtest.h>

#include "LessonFixture.h"
#include "common/GDataManager.h"
#include "lesson/PopupLayer.h"
#include "support/Headless.h"

namespace {

using support::findByName;

class LessonWindow : public lesson::LessonTest {};

TEST_F(LessonWindow, ControlsStayOnATallerWindow) {
    support::stopHeadless();
    support::startHeadless(engine::Size(1280, 960));
    const engine::Size win = engine::Director::getInstance()->getWinSize();
    GDataManager::getInstance()->screenOffsetY = (win.height - 720.f) * 0.5f;
    choose({});
    seatPupils();
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    support::saveScreenshot("lesson_player_tall");

    // The content panels and the settings corner are where a 720-point window has them.
    EXPECT_FLOAT_EQ(support::worldCenter(findByName("Panel_Layer")).y, 360.f);
    EXPECT_FLOAT_EQ(findByName("Btn_Set")->getPositionY(), 46.f);
    EXPECT_FLOAT_EQ(findByName("Btn_Return")->getPositionY(), win.height);
    for (const char* name : {"Btn_Return", "Btn_Sign", "Btn_Score", "Btn_DrawBoard", "Btn_Nav1", "Btn_Nav7",
                             "Btn_Right", "Btn_Set", "PlayBtn"}) {
        const engine::Vec2 centre = support::worldCenter(findByName(name));
        EXPECT_TRUE(centre.y > 0 && centre.y < win.height && centre.x > 0 && centre.x < win.width) << name;
    }

    // An entry reached while the menu was closing leaves it closed.
    scene->onSetRest();
    EXPECT_FALSE(scene->isMenuOpen());
    support::stepFrames(20);
    support::saveScreenshot("lesson_break_tall");
    EXPECT_FLOAT_EQ(support::worldCenter(findByName("Layout_RestStart")).y, win.height / 2);
    EXPECT_FLOAT_EQ(findByName("Btn_Lock")->getPositionY(), win.height - 20);

    PopupLayer* popup = PopupLayer::create();
    scene->addChild(popup, 106);
    popup->showFinish();
    support::stepFrames(40);
    support::saveScreenshot("lesson_finish_tall");
    EXPECT_FLOAT_EQ(findByName("Btn_Again", popup)->getPositionY(), win.height);
}

} // namespace
