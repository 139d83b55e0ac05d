// The teacher's road from start-up through a whole lesson, against the demo server: the program's own delegate starts
// it, the account is typed on the on-screen keyboard, and every screen passed is saved as a screenshot.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "base/Director.h"
#include "common/GDataManager.h"
#include "games/GameLayer.h"
#include "lesson/DownloadLayer.h"
#include "lesson/LogicTopicScene.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "network/HttpClient.h"
#include "scene/Scene.h"
#include "scenes/ClassScene.h"
#include "scenes/CourseScene.h"
#include "scenes/GradeScene.h"
#include "scenes/GroupScene.h"
#include "scenes/LectureScene.h"
#include "scenes/LoginScene.h"
#include "scenes/SignScene.h"
#include "scenes/SubjectScene.h"
#include "support/ClientTest.h"
#include "support/LectureButton.h"
#include "ui/Button.h"
#include "ui/Text.h"

using engine::Node;
using support::click;
using support::findByName;
using support::lectureButton;
using support::stepFrames;

namespace {

template <class T> bool sceneIs() {
    return dynamic_cast<T*>(engine::Director::getInstance()->getRunningScene()) != nullptr;
}

class LoginToClass : public support::ClientTest {
protected:
    void TearDown() override {
        engine::network::HttpClient::destroyInstance();
        support::ClientTest::TearDown();
    }

    void launch() {
        ASSERT_TRUE(app.applicationDidFinishLaunching());
        ASSERT_TRUE(waitFor(sceneIs<LoginScene>));
        // The start-up chores (version check, animations) have settled when no panel stands over the screen.
        ASSERT_TRUE(
            waitFor([] { return !HttpManager::getInstance()->getLoadingPanel() && !findByName("Img_LoadingBg"); }));
        stepFrames(10);
    }

    // The key of the open on-screen keyboard that shows this label.
    static Node* key(const std::string& label) {
        for (int n = 1;; ++n) {
            Node* node = findByName("KeyBtn" + std::to_string(n));
            if (!node) {
                return nullptr;
            }
            auto* text = dynamic_cast<engine::ui::Text*>(node->getChildByName("Text"));
            if (text && text->getString() == label) {
                return node;
            }
        }
    }

    void typeInto(const std::string& field, const std::string& text) {
        ASSERT_TRUE(click(field));
        stepFrames(3);
        for (char c : text) {
            Node* node = key(std::string(1, c));
            ASSERT_NE(node, nullptr) << "no key " << c;
            click(node);
            stepFrames(1);
        }
    }

    // A touch beside the keyboard, on the hills, closes it.
    void closeKeyboard() {
        ASSERT_NE(findByName("KeyBtn1"), nullptr);
        support::tapAt(engine::Vec2(1000, 40));
        stepFrames(3);
        EXPECT_EQ(findByName("KeyBtn1"), nullptr);
    }

    // The buttons that the course and subject scenes put on "Panel_Layout", in slot order.
    static std::vector<Node*> panelButtons() {
        std::vector<Node*> buttons;
        if (Node* panel = findByName("Panel_Layout")) {
            for (Node* item : panel->getChildren()) {
                if (Node* button = findByName("Btn_Course", item)) {
                    buttons.push_back(button);
                }
            }
        }
        return buttons;
    }

    // Pixels of the drawn frame's upper part, where the movie shows and no control lies.
    static std::vector<int> moviePixels() {
        stepFrames(1);
        std::vector<int> pixels;
        for (int y = 60; y <= 480; y += 60) {
            for (int x = 80; x <= 1200; x += 80) {
                const engine::Color4B c = support::readPixel(x, y);
                pixels.push_back(c.r << 16 | c.g << 8 | c.b);
            }
        }
        return pixels;
    }

    // The third pupil sorts the five items of the game entry, one wrong choice first; player is the stored result.
    static void playSortingGame(LogicTopicScene* lesson, StudentRecord& player) {
        GameLayer* frame = nullptr;
        ASSERT_TRUE(waitFor([&] {
            frame = dynamic_cast<GameLayer*>(lesson->getContentLayer());
            return frame && frame->studentIcons.size() == 5 && findByName("StartBtn", frame)->isVisible();
        }));
        ASSERT_TRUE(click("IconFrame", frame->studentIcons[2]));
        stepFrames(1);
        ASSERT_TRUE(click("StartBtn", frame));
        Node* item = findByName("QImg", frame);
        Node* waiting = findByName("PosNode", frame);
        for (int k = 0; frame->state() == 2; ++k) {
            ASSERT_TRUE(waitFor([&] { return frame->running() && item->getPosition() == waiting->getPosition(); }));
            const bool odd = item->getTag() % 2 == 1;
            // The first item goes to the wrong class first: nothing counts.
            for (bool right : {false, true}) {
                if (right || k == 0) {
                    const int before = frame->answeredCount;
                    click(odd == right ? "OperImg1" : "OperImg2", frame);
                    ASSERT_TRUE(
                        waitFor([&] { return frame->answeredCount == before + right && (right || frame->running()); }));
                }
            }
            if (k == 2) {
                support::saveScreenshot("e2e_game_play");
            }
        }
        EXPECT_EQ(frame->answeredCount, 5);
        ASSERT_TRUE(waitFor([] { return !tipText().empty(); }));
        support::saveScreenshot("e2e_game_result");
        click("Button1");
        stepFrames(2);
        player = GDataManager::getInstance()->getStudent(frame->selectedStudent);
        EXPECT_EQ(player.id, 1003);
        EXPECT_EQ(player.gameScore, 100);
        EXPECT_GT(player.gameTime, 0);
    }

    std::string fieldText(const std::string& name) const {
        auto* text = dynamic_cast<engine::ui::Text*>(findByName(name));
        return text ? text->getString() : "";
    }

    AppDelegate app;
};

TEST_F(LoginToClass, TheTeacherRunsALessonFromLoginToTheFinish) {
    launch();
    support::saveScreenshot("e2e_1_login");

    typeInto("UserName", "teacher");
    support::saveScreenshot("e2e_2_keyboard");
    typeInto("PassWord", "1234");
    closeKeyboard();

    server.clearRecords();
    ASSERT_TRUE(click("Btn_Login"));
    ASSERT_TRUE(waitFor([] { return findByName("Layout_LoadPanel") != nullptr || sceneIs<CourseScene>(); }));
    if (findByName("Layout_LoadPanel")) {
        support::saveScreenshot("e2e_3_download_overlay");
    }
    ASSERT_TRUE(waitFor(sceneIs<CourseScene>));
    stepFrames(20);
    support::saveScreenshot("e2e_4_course");

    const auto logins = requestsNamed("login");
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0].field("username"), "teacher");
    EXPECT_EQ(logins[0].field("password"), "1234");
    EXPECT_FALSE(HttpManager::getInstance()->token.empty());

    std::vector<Node*> types = panelButtons();
    ASSERT_FALSE(types.empty());
    click(types[0]);
    ASSERT_TRUE(waitFor(sceneIs<SubjectScene>));
    EXPECT_EQ(GDataManager::getInstance()->courseTypeCode, 1);
    ASSERT_TRUE(waitFor([] { return !HttpManager::getInstance()->getLoadingPanel(); }));
    stepFrames(20);
    support::saveScreenshot("e2e_5_subject");

    std::vector<Node*> subjects = panelButtons();
    ASSERT_FALSE(subjects.empty());
    click(subjects[0]);
    ASSERT_TRUE(waitFor(sceneIs<GradeScene>));
    EXPECT_EQ(GDataManager::getInstance()->subjectCode, 1);
    const auto courseLists = requestsNamed("getCourseList");
    ASSERT_FALSE(courseLists.empty());
    for (const auto& request : courseLists) {
        EXPECT_EQ(request.field("typeCode"), "1");
        EXPECT_EQ(request.field("subjectCode"), "1");
        EXPECT_EQ(request.token, HttpManager::getInstance()->token);
    }
    stepFrames(30);
    support::saveScreenshot("e2e_6_grade");

    ASSERT_TRUE(click("Btn_Grade1"));
    ASSERT_TRUE(waitFor(sceneIs<ClassScene>));
    EXPECT_EQ(GDataManager::getInstance()->gradeCode, 1);
    EXPECT_EQ(requestsNamed("getClassList").size(), 1u);
    stepFrames(30);
    support::saveScreenshot("e2e_7_class");

    EXPECT_EQ(fieldText("ClassName"), "Class 1A");
    ASSERT_TRUE(click("ClassImg1"));
    ASSERT_TRUE(waitFor(sceneIs<LectureScene>));
    EXPECT_EQ(GDataManager::getInstance()->classIdSelected, 101);
    ASSERT_TRUE(waitFor([] { return !findByName("Img_LoadingBg"); }));
    stepFrames(40);
    support::saveScreenshot("e2e_8_lecture");

    // Lecture 2 is not on disk yet: it downloads with progress, is unpacked and becomes ready.
    CoursewareManager* courseware = CoursewareManager::getInstance();
    ASSERT_EQ(courseware->currentList.at(1).Identify, "0101010102");
    EXPECT_EQ(courseware->currentList[1].state, 5);
    click(lectureButton(2));
    ASSERT_TRUE(waitFor([] { return findByName("Loading", lectureButton(2)->getParent())->isVisible(); }));
    const std::string package = FileManager::getInstance()->getNetResPath() + "0101010102/";
    // Ready once the extraction's result is back on the main thread.
    ASSERT_TRUE(waitFor([&] { return courseware->currentList[1].state == 1; }));
    EXPECT_TRUE(std::filesystem::exists(package + "Topic.plist"));
    EXPECT_TRUE(lectureButton(2)->isBright());
    EXPECT_FALSE(findByName("Loading", lectureButton(2)->getParent())->isVisible());
    support::saveScreenshot("e2e_9_lecture_ready");

    // The ready lecture loads the class's pupils and their heads, then the sign-in.
    click(lectureButton(2));
    ASSERT_TRUE(waitFor(sceneIs<SignScene>));
    ASSERT_EQ(GDataManager::getInstance()->students.size(), 9u);
    ASSERT_TRUE(waitFor([] { return !findByName("Img_LoadingBg"); }));
    stepFrames(20);
    support::saveScreenshot("e2e_10_sign");
    ASSERT_TRUE(click("OneKeySignBtn"));
    stepFrames(2);
    support::saveScreenshot("e2e_11_signed");
    ASSERT_TRUE(click("ConfirmBtn"));
    ASSERT_TRUE(waitFor(sceneIs<GroupScene>));

    // Three groups at random; the opening video (lecture 1's summary) is fetched before the lesson.
    stepFrames(5);
    ASSERT_TRUE(click("GroupBtn3"));
    ASSERT_TRUE(click("RandomBtn"));
    stepFrames(2);
    support::saveScreenshot("e2e_12_groups");
    ASSERT_TRUE(click("ConfirmBtn"));
    ASSERT_TRUE(waitFor(sceneIs<LogicTopicScene>));

    // The lesson opens on the opening video, which plays: two frames a moment apart differ.
    auto* lesson = dynamic_cast<LogicTopicScene*>(engine::Director::getInstance()->getRunningScene());
    ASSERT_TRUE(waitFor([&] { return lesson->getContentLayer() != nullptr && !findByName("Img_LoadingBg"); }));
    EXPECT_EQ(lesson->getCurrentNav(), 1);
    stepFrames(20);
    support::saveScreenshot("e2e_13_lesson");
    ASSERT_TRUE(click("PlayBtn"));
    ASSERT_TRUE(waitFor([] { return findByName("Btn_Skip") != nullptr; }));
    // The movie's first picture covers what stood there; however slowly the host decodes, a later one differs.
    const std::vector<int> start = moviePixels();
    ASSERT_TRUE(waitFor([&] { return moviePixels() != start; }));
    ASSERT_FALSE(support::saveScreenshot("e2e_14_movie").empty());
    // The first touch may only bring up the hidden controls.
    ASSERT_TRUE(click("Btn_Skip"));
    stepFrames(1);
    if (findByName("Btn_Skip")) {
        click("Btn_Skip");
    }
    ASSERT_TRUE(waitFor([] { return findByName("Btn_Skip") == nullptr; }));

    // The arrows step through the bar to the summary video; a topic page with its own topic bar hides them, and
    // the bar's button goes on from there.
    StudentRecord player;
    for (int nav = 2; nav <= 7; ++nav) {
        // The game frame covers the bar: a pupil plays the lecture's sorting game, then its right button moves on.
        if (nav == 5) {
            playSortingGame(lesson, player);
            ASSERT_TRUE(click("RightBtn"));
        } else {
            engine::Node* right = findByName("Btn_Right");
            ASSERT_TRUE(click(right && right->isVisible() ? "Btn_Right" : "Btn_Nav" + std::to_string(nav)));
        }
        stepFrames(3);
        EXPECT_EQ(lesson->getCurrentNav(), nav);
    }
    support::saveScreenshot("e2e_16_summary");

    // A class break, unlocked and ended.
    ASSERT_TRUE(click("Btn_Set"));
    stepFrames(12);
    ASSERT_TRUE(click("SetBtn3"));
    ASSERT_TRUE(waitFor([] { return findByName("Layout_RestStart") != nullptr; }));
    stepFrames(20);
    support::saveScreenshot("e2e_17_break");
    ASSERT_TRUE(click("Btn_Lock"));
    stepFrames(2);
    ASSERT_TRUE(click("Layout_RestStart"));
    ASSERT_TRUE(waitFor([] { return findByName("Layout_Bg") == nullptr; }));

    // Finish uploads the class's results, the game's for the pupil who played, and shows the finish view.
    std::string expected = "[";
    for (int id = 1001; id <= 1009; ++id) {
        const bool played = id == player.id;
        expected += (id > 1001 ? "," : "") + std::string("{\"studentId\":") + std::to_string(id) +
                    ",\"isSign\":1,\"score\":0,\"gameTime\":" + std::to_string(played ? player.gameTime : 0) +
                    ",\"gameScore\":" + std::to_string(played ? 100 : 0) + "}";
    }
    expected += "]";
    ASSERT_TRUE(click("FinishBtn"));
    ASSERT_TRUE(waitFor([] {
        Node* view = findByName("Layout_Finish");
        return view && view->isVisible();
    }));
    const auto scores = server.scores();
    ASSERT_EQ(scores.size(), 1u);
    const courseware::FormFields fields = {{"classId", "101"}, {"gradeCode", "1"},  {"lesson", "2"},
                                           {"phaseCode", "1"}, {"score", expected}, {"subjectCode", "1"},
                                           {"typeCode", "1"}};
    EXPECT_EQ(scores[0].request.fields, fields);
    stepFrames(40);
    support::saveScreenshot("e2e_18_finish");

    ASSERT_TRUE(click("Btn_Again"));
    ASSERT_TRUE(waitFor(sceneIs<LoginScene>));
    EXPECT_EQ(engine::Director::getInstance()->getSceneStackSize(), 1u);
}

TEST_F(LoginToClass, AnExpiredSessionLeadsBackToTheLoginScreen) {
    launch();
    typeInto("UserName", "expired");
    typeInto("PassWord", "1234");
    closeKeyboard();
    ASSERT_TRUE(click("Btn_Login"));
    // The token is refused at the first request after login; either tip button returns to a new login screen.
    ASSERT_TRUE(waitFor([] { return findByName("BgImage1") != nullptr; }));
    ASSERT_TRUE(click("Button2"));
    ASSERT_TRUE(waitFor([] {
        auto* scene = dynamic_cast<LoginScene*>(engine::Director::getInstance()->getRunningScene());
        return scene && !findByName("BgImage1");
    }));
    EXPECT_EQ(requestsNamed("login").size(), 1u);
}

} // namespace
