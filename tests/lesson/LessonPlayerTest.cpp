// The lesson player: its first content and bar by lecture, stepping through the bar with the arrows and the
// buttons, the settings menu, the class break, the tools over the lesson, the lesson kept as it was under a pushed
// scene, and a window taller than 16:9.
#include <gtest/gtest.h>

#include "LessonFixture.h"
#include "base/Value.h"
#include "common/BaseScene.h"
#include "common/GDataManager.h"
#include "lesson/PopupLayer.h"
#include "lesson/VideoLayer.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "scene/RenderTexture.h"
#include "scenes/GroupScene.h"
#include "scenes/SignScene.h"
#include "support/Headless.h"
#include "tools/AdditionList.h"
#include "tools/DrawBoardLayer.h"
#include "tools/ExaminationLayer.h"
#include "tools/MusicLayer.h"
#include "tools/ScoreLayer.h"
#include "topics/TopicManage.h"
#include "ui/Button.h"

namespace {

using engine::TouchPhase;
using lesson::childOf;
using lesson::shown;
using support::click;
using support::findByName;

engine::Scene* running() {
    return engine::Director::getInstance()->getRunningScene();
}

engine::ui::Button* navButton(int i) {
    return dynamic_cast<engine::ui::Button*>(findByName("Btn_Nav" + std::to_string(i)));
}

int highlightedNav() {
    for (int i = 1; i <= 7; ++i) {
        if (navButton(i) && navButton(i)->isHighlighted()) {
            return i;
        }
    }
    return 0;
}

class LessonPlayer : public lesson::LessonTest {};

TEST_F(LessonPlayer, FirstContentAndBarFollowTheLecture) {
    struct Case {
        int subject, grade, lesson, firstNav;
        bool navEnabled, additionBright, highlight;
        // "NavConfig.plist" by course type and subject; subject 9 has no entry and keeps the layout's pictures.
        const char* picture;
    } cases[] = {
        {1, 1, 2, 1, true, true, true, "Nav/NavBtn3_1.png"},
        {2, 4, 12, 1, true, false, false, "Nav/Language/NavBtn3_1.png"},
        {9, 5, 12, 9, false, false, false, "Nav/NavBtn3_1.png"},
        {1, 5, 3, 1, true, true, false, "Nav/NavBtn3_1.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("grade " + std::to_string(c.grade) + " lesson " + std::to_string(c.lesson));
        choose({1, c.subject, c.grade, 1, c.lesson});
        LogicTopicScene* scene = openLessonPlayer();
        ASSERT_NE(scene, nullptr);
        EXPECT_EQ(GDataManager::getInstance()->logicTopicScene, scene);
        EXPECT_EQ(scene->getCurrentNav(), c.firstNav);
        EXPECT_EQ(dynamic_cast<VideoLayer*>(scene->getContentLayer()) != nullptr, c.firstNav == 1);
        EXPECT_EQ(dynamic_cast<ExaminationLayer*>(scene->getContentLayer()) != nullptr, c.firstNav == 9);
        EXPECT_EQ(TopicManage::getInstance()->contentKind, c.firstNav == 1 ? 5 : 9);
        for (int i = 1; i <= 7; ++i) {
            EXPECT_EQ(navButton(i)->isEnabled(), c.navEnabled) << i;
        }
        EXPECT_EQ(highlightedNav(), c.highlight ? 1 : 0);
        EXPECT_EQ(navButton(3)->getNormalFile(), c.picture);
        auto* addition = dynamic_cast<engine::ui::Widget*>(findByName("SetBtn2"));
        EXPECT_EQ(addition->isBright(), c.additionBright);
        EXPECT_EQ(addition->isTouchEnabled(), c.additionBright);
        // The examination lecture hides both arrows; the others track the entry for every grade.
        EXPECT_FALSE(shown("Btn_Left"));
        EXPECT_EQ(shown("Btn_Right"), c.navEnabled);
        if (c.navEnabled) {
            click("Btn_Right");
            support::stepFrames(2);
            EXPECT_EQ(scene->getCurrentNav(), 2);
            EXPECT_TRUE(shown("Btn_Left"));
            EXPECT_EQ(highlightedNav(), c.highlight ? 2 : 0);
        }
    }
}

TEST_F(LessonPlayer, StepsThroughTheBarWithOneContentAtATime) {
    choose({});
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    support::saveScreenshot("lesson_player_opening");
    // The opening video of lesson 2 is the summary of lesson 1.
    EXPECT_NE(support::findByName("PerImg"), nullptr);
    EXPECT_FALSE(shown("Img_Title"));

    click("Btn_Right");
    support::stepFrames(2);
    EXPECT_EQ(TopicManage::getInstance()->contentKind, 7);
    EXPECT_TRUE(shown("Img_Title"));
    EXPECT_EQ(lesson::textOf("Text_Title"), "Lecture 2");
    support::saveScreenshot("lesson_player_lecture");

    struct Step {
        const char* button;
        int nav, kind;
        bool content, video, gamePanel;
    } steps[] = {
        {"Btn_Nav3", 3, 1, true, false, false}, {"Btn_Nav4", 4, 1, true, false, true},
        {"RightBtn", 5, 2, true, false, false}, {"Btn_Nav6", 6, 3, true, false, false},
        {"Btn_Nav7", 7, 8, true, true, false},  {"Btn_Left", 6, 3, true, false, false},
        {"Btn_Nav7", 7, 8, true, true, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.button);
        // The game frame covers the bar: its own RightBtn moves on once its animations are loaded, in real time.
        waitFor([&] { return findByName(step.button) != nullptr; });
        click(step.button);
        support::stepFrames(2);
        EXPECT_EQ(scene->getCurrentNav(), step.nav);
        EXPECT_EQ(highlightedNav(), step.nav);
        EXPECT_EQ(TopicManage::getInstance()->contentKind, step.kind);
        EXPECT_EQ(scene->getContentLayer() != nullptr, step.content);
        EXPECT_EQ(shown("Panel_Game"), step.gamePanel);
        EXPECT_EQ(findByName("PerImg") != nullptr, step.video);
    }
    EXPECT_TRUE(shown("FinishBtn"));
    EXPECT_FALSE(shown("Btn_Right"));
    support::saveScreenshot("lesson_player_summary");

    // An entry outside the table empties the area.
    scene->selectNav(8);
    EXPECT_EQ(scene->getContentLayer(), nullptr);
    EXPECT_EQ(findByName("PerImg"), nullptr);
}

TEST_F(LessonPlayer, SignInOverTheLessonComesBackToItAsItWas) {
    choose({});
    seatPupils();
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    scene->selectNav(2);
    engine::Node* content = scene->getContentLayer();
    click("Btn_Sign");
    ASSERT_TRUE(support::stepUntil([] { return dynamic_cast<SignScene*>(running()) != nullptr; }, 30));
    EXPECT_EQ(GDataManager::getInstance()->enteredFrom, 3);
    EXPECT_EQ(engine::Director::getInstance()->getSceneStackSize(), 2u);
    EXPECT_TRUE(waitFor([] { return findByName("Img_LoadingBg") == nullptr; }));
    click("Btn_Return");
    ASSERT_TRUE(support::stepUntil([] { return player() != nullptr; }, 60));
    EXPECT_EQ(player(), scene);
    EXPECT_EQ(scene->getCurrentNav(), 2);
    EXPECT_EQ(scene->getContentLayer(), content);
    EXPECT_EQ(findByName("Img_LoadingBg"), nullptr);

    // Return goes to a grouping scene that is not a pushed one.
    GDataManager::getInstance()->enteredFrom = 3;
    click("Btn_Return");
    ASSERT_TRUE(support::stepUntil([] { return dynamic_cast<GroupScene*>(running()) != nullptr; }, 60));
    EXPECT_EQ(GDataManager::getInstance()->enteredFrom, 0);
}

TEST_F(LessonPlayer, ClassBreakEndsOnlyWhenUnlocked) {
    choose({});
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    auto* menu = findByName("Img_SetBg");
    EXPECT_EQ(menu->getScaleX(), 0.f);
    click("Btn_Set");
    support::stepFrames(12);
    EXPECT_TRUE(scene->isMenuOpen());
    EXPECT_FLOAT_EQ(menu->getScaleX(), 1.f);
    support::saveScreenshot("lesson_player_menu");

    click("SetBtn3");
    support::stepFrames(12);
    EXPECT_FALSE(scene->isMenuOpen());
    EXPECT_FLOAT_EQ(menu->getScaleX(), 0.f);
    auto* popup = dynamic_cast<PopupLayer*>(findByName("Layout_Bg")->getParent()->getParent());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->getLocalZOrder(), 106);
    support::stepFrames(20);
    support::saveScreenshot("lesson_player_break");

    // Locked: a tap on the rest view does nothing.
    click("Layout_RestStart");
    support::stepFrames(2);
    EXPECT_FALSE(popup->isBreakEnding());
    click("Btn_Lock");
    support::stepFrames(2);
    EXPECT_TRUE(shown("Btn_UnLock"));
    click("Layout_RestStart");
    EXPECT_TRUE(popup->isBreakEnding());
    EXPECT_TRUE(support::stepUntil([] { return findByName("Layout_Bg") == nullptr; }, 300));
    // The lesson goes on where it was.
    EXPECT_EQ(scene->getCurrentNav(), 1);
    EXPECT_NE(scene->getContentLayer(), nullptr);
}

TEST_F(LessonPlayer, ToolButtonsOpenTheirLayersOverTheLesson) {
    choose({});
    seatPupils();
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    click("Btn_Score");
    support::stepFrames(2);
    engine::Node* board = childOf<ScoreLayer>(scene);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->getLocalZOrder(), 0);
    board->removeFromParentAndCleanup(true);

    // The drawing board takes the strokes over the lesson's own widgets.
    click("Btn_DrawBoard");
    support::stepFrames(2);
    DrawBoardLayer* drawing = childOf<DrawBoardLayer>(scene);
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(drawing->getLocalZOrder(), 105);
    click("ColorImg3", drawing->getBoardPanel());
    support::stepFrames(2);
    engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
    view->injectTouch(TouchPhase::BEGAN, {300, 300});
    view->injectTouch(TouchPhase::MOVED, {500, 280});
    view->injectTouch(TouchPhase::MOVED, {700, 300});
    view->injectTouch(TouchPhase::ENDED, {700, 300});
    support::saveScreenshot("lesson_tools_drawing");
    const engine::Color4B blue = drawing->getCanvas()->readPixel(600, 290);
    EXPECT_NEAR(blue.g, 0xb4, 2);
    EXPECT_NEAR(blue.b, 0xf7, 2);
    EXPECT_EQ(blue.a, 255);
    drawing->removeFromParentAndCleanup(true);

    // Each settings entry opens its layer over the lesson and closes the menu.
    const std::pair<const char*, engine::Node* (*)(LogicTopicScene*)> entries[] = {
        {"SetBtn2", [](LogicTopicScene* s) -> engine::Node* { return childOf<AdditionList>(s); }},
        {"SetBtn4", [](LogicTopicScene* s) -> engine::Node* { return childOf<MusicLayer>(s); }},
    };
    for (const auto& [entry, find] : entries) {
        SCOPED_TRACE(entry);
        scene->onSetClicked();
        support::stepFrames(12);
        click(entry);
        support::stepFrames(12);
        EXPECT_FALSE(scene->isMenuOpen());
        engine::Node* tool = find(scene);
        ASSERT_NE(tool, nullptr);
        EXPECT_EQ(tool->getLocalZOrder(), 106);
        tool->removeFromParentAndCleanup(true);
    }
}

// The rest pop-up on its own: the break's callback runs once, with or without its animations.
TEST_F(LessonPlayer, BreakRunsItsCallbackOnceEvenWithoutItsAnimations) {
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
        support::runScene(BaseScene::create());
        PopupLayer* popup = PopupLayer::create();
        ASSERT_NE(popup, nullptr);
        running()->addChild(popup, 106);
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

TEST_F(LessonPlayer, ControlsStayOnATallerWindow) {
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
    EXPECT_FLOAT_EQ(support::worldCenter(findByName("Btn_Lock")).y, win.height / 2 - 225);

    PopupLayer* popup = PopupLayer::create();
    scene->addChild(popup, 106);
    popup->showFinish();
    support::stepFrames(40);
    support::saveScreenshot("lesson_finish_tall");
    EXPECT_FLOAT_EQ(findByName("Btn_Again", popup)->getPositionY(), win.height);
}

} // namespace
