// Story and game lectures against the demo server, from the login: a story lecture (play mode 3) runs through its
// grade and lecture lists, the class's pupils, sign-in and grouping into the lesson and back; a game lecture
// (play mode 4) goes straight into the lesson; a picture-book lecture (play mode 2) pages through its pictures and
// plays its question game. Every new screen is saved as a screenshot.
#include <gtest/gtest.h>

#include <string>

#include "app/AppDelegate.h"
#include "base/Director.h"
#include "common/GDataManager.h"
#include "games/SimpleGame.h"
#include "lesson/LogicTopicScene.h"
#include "net/CoursewareManager.h"
#include "net/HttpManager.h"
#include "network/HttpClient.h"
#include "scenes/CourseScene.h"
#include "scenes/GroupScene.h"
#include "scenes/LoginScene.h"
#include "scenes/SignScene.h"
#include "scenes/SubjectScene.h"
#include "scenes/TouGradeScene.h"
#include "scenes/TouLectureScene.h"
#include "scenes/TouTopicScene.h"
#include "support/ClientTest.h"
#include "tools/DrawBoardLayer.h"
#include "ui/CheckBox.h"
#include "ui/Text.h"
#include "ui/TextField.h"

using engine::Node;
using support::click;
using support::findByName;
using support::stepFrames;

namespace {

template <class T> T* running() {
    return dynamic_cast<T*>(engine::Director::getInstance()->getRunningScene());
}
template <class T> bool sceneIs() {
    return running<T>() != nullptr;
}
bool settled() {
    return !HttpManager::getInstance()->getLoadingPanel() && !findByName("Img_LoadingBg");
}
bool lessonStarted() {
    return sceneIs<LogicTopicScene>() && running<LogicTopicScene>()->getContentLayer() && settled();
}

// The course or subject button of that code on the running scene's "Panel_Layout".
Node* codeButton(int code) {
    for (Node* item : findByName("Panel_Layout")->getChildren()) {
        Node* button = findByName("Btn_Course", item);
        if (button && button->getTag() == code) {
            return button;
        }
    }
    return nullptr;
}

class TouLectures : public support::ClientTest {
protected:
    void TearDown() override {
        engine::network::HttpClient::destroyInstance();
        support::ClientTest::TearDown();
    }

    // The program starts, the demo teacher logs in, chooses the course type, the subject and its first grade.
    void openFirstGrade(int typeCode, int subjectCode) {
        ASSERT_TRUE(app.applicationDidFinishLaunching());
        ASSERT_TRUE(waitFor(sceneIs<LoginScene>) && waitFor(settled));
        dynamic_cast<engine::ui::TextField*>(findByName("UserName"))->setString("teacher");
        dynamic_cast<engine::ui::TextField*>(findByName("PassWord"))->setString("1234");
        ASSERT_TRUE(click("Btn_Login"));
        ASSERT_TRUE(waitFor(sceneIs<CourseScene>) && waitFor(settled));
        click(codeButton(typeCode));
        ASSERT_TRUE(waitFor(sceneIs<SubjectScene>) && waitFor(settled));
        stepFrames(5);
        click(codeButton(subjectCode));
        ASSERT_TRUE(waitFor(sceneIs<TouGradeScene>));
        stepFrames(5);
        support::saveScreenshot("tou_e2e_grades_" + std::to_string(subjectCode));
        ASSERT_TRUE(click("Btn_Course"));
        ASSERT_TRUE(waitFor(sceneIs<TouLectureScene>));
        EXPECT_EQ(GDataManager::getInstance()->gradeCode, 1);
        stepFrames(5);
    }

    // Lecture k is downloaded and unpacked from its button, which then shows it ready.
    void download(int k) {
        Node* button = running<TouLectureScene>()->findLectureButton(k);
        ASSERT_NE(button, nullptr);
        click(button);
        ASSERT_TRUE(waitFor([k] { return CoursewareManager::getInstance()->currentList[k].state == 1; }));
        stepFrames(2);
        EXPECT_TRUE(dynamic_cast<engine::ui::CheckBox*>(findByName("cb_State", button))->isSelected());
        EXPECT_FALSE(findByName("Slider_Progress", button)->isVisible());
    }

    AppDelegate app;
};

TEST_F(TouLectures, AStoryLectureRunsThroughSignInAndGroupsIntoTheLessonAndBack) {
    openFirstGrade(3, 7);
    EXPECT_EQ(running<TouLectureScene>()->getPageCount(), 2);
    download(1);
    support::saveScreenshot("tou_e2e_lectures");

    // The pupils of "Student.plist" and the class's two from the server sign in.
    const size_t plistPupils = GDataManager::getInstance()->students.size();
    click(running<TouLectureScene>()->findLectureButton(1));
    ASSERT_TRUE(waitFor(sceneIs<SignScene>) && waitFor(settled));
    EXPECT_EQ(GDataManager::getInstance()->students.size(), plistPupils + 2);
    stepFrames(20);
    support::saveScreenshot("tou_e2e_sign");
    ASSERT_TRUE(click("OneKeySignBtn"));
    stepFrames(2);
    ASSERT_TRUE(click("ConfirmBtn"));
    ASSERT_TRUE(waitFor(sceneIs<GroupScene>));
    stepFrames(5);
    ASSERT_TRUE(click("GroupBtn2") && click("RandomBtn"));
    stepFrames(20);
    support::saveScreenshot("tou_e2e_group");
    ASSERT_TRUE(click("ConfirmBtn"));
    ASSERT_TRUE(waitFor(lessonStarted));
    EXPECT_EQ(CoursewareManager::getCurrentIdentify(), "0307010102");
    stepFrames(20);
    support::saveScreenshot("tou_e2e_story_lesson");

    // Back on the list, the lecture entered again brings the same pupils, not a second copy of the class.
    ASSERT_TRUE(click("Btn_Return"));
    ASSERT_TRUE(waitFor(sceneIs<TouLectureScene>));
    stepFrames(2);
    click(running<TouLectureScene>()->findLectureButton(1));
    ASSERT_TRUE(waitFor(sceneIs<SignScene>));
    EXPECT_EQ(GDataManager::getInstance()->students.size(), plistPupils + 2);
    EXPECT_EQ(requestsNamed("getStudentList").at(0).field("classId"), "0");
}

TEST_F(TouLectures, AGameLectureOpensTheLessonStraightAway) {
    openFirstGrade(4, 6);
    download(0);
    click(running<TouLectureScene>()->findLectureButton(0));
    ASSERT_TRUE(waitFor(lessonStarted));
    EXPECT_EQ(CoursewareManager::getCurrentIdentify(), "0406010101");
    EXPECT_TRUE(requestsNamed("getStudentList").empty());
    stepFrames(20);
    support::saveScreenshot("tou_e2e_game_lesson");
}

// A picture-book lecture (play mode 2): its pages with the thumbnail strip, the drawing board, and the simple
// question game fetched from the server and answered wrong, then right.
TEST_F(TouLectures, APictureBookLecturePagesThroughItsPicturesAndPlaysTheQuestionGame) {
    openFirstGrade(2, 4);
    download(0);
    click(running<TouLectureScene>()->findLectureButton(0));
    ASSERT_TRUE(waitFor(sceneIs<TouTopicScene>));
    auto* viewer = running<TouTopicScene>();
    ASSERT_TRUE(waitFor(settled));
    stepFrames(5);
    EXPECT_EQ(viewer->pageCount, 7);
    support::saveScreenshot("tou_e2e_picture_book");

    ASSERT_TRUE(click("Btn_Next"));
    ASSERT_TRUE(click("Btn_Next"));
    click(findByName("Img_Nav5"));
    stepFrames(2);
    EXPECT_EQ(viewer->page, 5);
    ASSERT_TRUE(click("Btn_Set"));
    stepFrames(30);
    ASSERT_TRUE(click("Btn_Draw"));
    stepFrames(30);
    support::drag(engine::Vec2(400, 400), engine::Vec2(800, 300));
    stepFrames(2);
    support::saveScreenshot("tou_e2e_picture_board");
    const engine::Color4B stroke = support::readPixel(600, 370);
    EXPECT_TRUE(stroke.r > 200 && stroke.g < 60 && stroke.b < 60) << "the red pen's stroke, after the login's pack";
    Node* board = nullptr;
    for (Node* child : findByName("Img_Content")->getParent()->getChildren()) {
        board = dynamic_cast<DrawBoardLayer*>(child) ? child : board;
    }
    ASSERT_NE(board, nullptr);
    ASSERT_TRUE(click("CloseBtn", dynamic_cast<DrawBoardLayer*>(board)->getBoardPanel()));
    ASSERT_TRUE(click("Btn_Set"));
    stepFrames(30);
    ASSERT_TRUE(click("Btn_Teaching"));
    stepFrames(30);
    support::saveScreenshot("tou_e2e_picture_teaching");
    ASSERT_TRUE(click("Btn_Close"));
    stepFrames(2);

    // The questions' pictures and sounds come through the download overlay; one wrong answer, then right.
    ASSERT_TRUE(findByName("Btn_Game")->isVisible());
    ASSERT_TRUE(click("Btn_Game"));
    stepFrames(1);
    support::saveScreenshot("tou_e2e_picture_downloading");
    const auto title = [] {
        auto* text = dynamic_cast<engine::ui::Text*>(findByName("Text_Title"));
        return text ? text->getString() : "";
    };
    ASSERT_TRUE(waitFor([&] { return title() == "Which one is the cat?"; }));
    stepFrames(2);
    support::saveScreenshot("tou_e2e_picture_question");
    auto* game = dynamic_cast<SimpleGame*>(findByName("Text_Title")->getParent()->getParent());
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(click("Img_SelectBg1"));
    stepFrames(10);
    support::saveScreenshot("tou_e2e_picture_wrong");
    ASSERT_TRUE(support::stepUntil([game] { return !game->locked; }));
    EXPECT_EQ(title(), "Which one is the cat?");
    ASSERT_TRUE(click("Img_SelectBg2"));
    stepFrames(10);
    support::saveScreenshot("tou_e2e_picture_right");
    ASSERT_TRUE(support::stepUntil([game] { return !game->locked; }));
    EXPECT_EQ(title(), "Which one is red?");
    ASSERT_TRUE(click("Btn_Return", game));
    stepFrames(30);
    EXPECT_EQ(findByName("Text_Title"), nullptr);

    ASSERT_TRUE(click("Btn_Return"));
    ASSERT_TRUE(waitFor(sceneIs<TouLectureScene>));
}

} // namespace
