#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "NavigationFixture.h"
#include "audio/AudioEngine.h"
#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "lesson/LogicTopicScene.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "scenes/SceneRoutes.h"
#include "scenes/GradeScene.h"
#include "scenes/GroupScene.h"
#include "scenes/LectureScene.h"
#include "scenes/LoginScene.h"
#include "scenes/SignScene.h"
#include "scenes/TouLectureScene.h"
#include "support/LectureButton.h"
#include "ui/Button.h"
#include "ui/TextField.h"

namespace {

using engine::Node;
using engine::Vec2;
using support::findByName;
using support::worldCenter;

// n pupils of class 101, the first `signedIn` of them signed in; play mode 1, grade 1.
void seatPupils(int n, int signedIn = 0) {
    GDataManager* data = GDataManager::getInstance();
    data->students.clear();
    for (int i = 0; i < n; ++i) {
        StudentRecord pupil;
        pupil.id = 1000 + i;
        pupil.name = "P" + std::to_string(i + 1);
        pupil.sex = 1 + i % 2;
        pupil.headImage = "HeadImg" + std::to_string(pupil.sex) + ".png";
        pupil.isSign = i < signedIn;
        data->students.push_back(pupil);
    }
    navigation::chooseSubject({});
    data->gradeCode = 1;
}

std::vector<int> groupSizes(int groups) {
    std::vector<int> sizes(static_cast<size_t>(groups), 0);
    for (const StudentRecord& pupil : GDataManager::getInstance()->students) {
        if (pupil.group > 0) {
            ++sizes[static_cast<size_t>(pupil.group - 1)];
        }
    }
    return sizes;
}

class SignGroupTest : public navigation::NavigationTest {
protected:
    // The world centre of the head's frame, where a touch takes it.
    static Vec2 headAt(Node* item) { return worldCenter(findByName("IconFrame", item)); }
    // Lecture 2 of phase 1 chosen: the grouping fetches the opening video of lecture 1.
    static void chooseLectureTwo() {
        CoursewareManager::getInstance()->currentList = {navigation::lecture(1, 1), navigation::lecture(1, 2)};
        GDataManager::getInstance()->phaseCode = 1;
        GDataManager::getInstance()->lessonNumber = 2;
    }
};

TEST_F(SignGroupTest, PupilsAreDraggedBetweenTheListAndTheShip) {
    seatPupils(9);
    auto* scene = SignScene::create();
    enterLoaded(scene);
    EXPECT_TRUE(findByName("LeftBtn")->isVisible());
    support::saveScreenshot("sign");

    // The ninth pupil, alone on the list's second page, goes onto the ship: the list goes back to page 1.
    support::click("RightBtn");
    support::stepFrames(2);
    ASSERT_EQ(scene->getListPage(), 2);
    ASSERT_EQ(scene->getListItems().size(), 1u);
    support::drag(headAt(scene->getListItems()[0]), worldCenter(findByName("Img_Ship")));
    support::stepFrames(2);
    auto& pupils = GDataManager::getInstance()->students;
    EXPECT_TRUE(pupils[8].isSign);
    EXPECT_EQ(scene->getListPage(), 1);
    ASSERT_EQ(scene->getShipItems().size(), 1u);
    EXPECT_EQ(scene->getShipItems()[0]->getTag(), 8);

    // Back from the ship clears the group too; a drop that misses both sides changes nothing.
    pupils[8].group = 3;
    support::drag(headAt(scene->getShipItems()[0]), worldCenter(findByName("Img_List")));
    support::stepFrames(2);
    EXPECT_FALSE(pupils[8].isSign);
    EXPECT_EQ(pupils[8].group, 0);
    support::drag(headAt(scene->getListItems()[0]), Vec2(640, 700));
    support::stepFrames(2);
    EXPECT_FALSE(pupils[0].isSign);
    // With nobody on board the ship's page stays at 1, so the next pupil shows.
    support::click("Sign_Btn_page1");
    support::stepFrames(2);
    EXPECT_EQ(scene->getShipPage(), 1);

    support::click("OneKeySignBtn");
    support::stepFrames(2);
    EXPECT_TRUE(std::all_of(pupils.begin(), pupils.end(), [](const StudentRecord& p) { return p.isSign; }));
    EXPECT_TRUE(scene->getListItems().empty());
    EXPECT_EQ(scene->getShipItems().size(), 8u);
    support::saveScreenshot("sign_all");
}

TEST_F(SignGroupTest, PushedOverTheLessonSignInAndGroupingPopBack) {
    seatPupils(4, 4);
    GDataManager* data = GDataManager::getInstance();
    auto* lesson = BaseScene::create();
    enter(lesson);
    data->enteredFrom = 3;
    engine::Director* director = engine::Director::getInstance();
    director->pushScene(SignScene::create());
    ASSERT_TRUE(waitForScene<SignScene>());
    ASSERT_TRUE(waitFor([] { return findByName("Img_LoadingBg") == nullptr; }));
    support::click("ConfirmBtn");
    support::stepFrames(1);
    support::click("ConfirmBtn");
    ASSERT_TRUE(waitForScene<GroupScene>());
    EXPECT_EQ(director->getSceneStackSize(), 2u);
    EXPECT_EQ(data->enteredFrom, 3);

    int returns = 0;
    runningAs<GroupScene>()->returnCallback = [&returns] { ++returns; };
    AudioManager::getInstance()->playBackgroundMusic();
    support::click("Btn_Return");
    ASSERT_TRUE(support::stepUntil([&] { return director->getRunningScene() == lesson; }, 120));
    support::stepFrames(2);
    EXPECT_EQ(returns, 1);
    EXPECT_EQ(data->enteredFrom, 0);
    EXPECT_EQ(AudioManager::getInstance()->backgroundMusicId, engine::AudioEngine::INVALID_AUDIO_ID);

    // A 401 (or "Btn_Again") from any depth leaves the login scene alone on the stack.
    director->pushScene(SignScene::create());
    ASSERT_TRUE(waitForScene<SignScene>());
    goToLogin();
    ASSERT_TRUE(waitForScene<LoginScene>());
    EXPECT_EQ(director->getSceneStackSize(), 1u);
}

TEST_F(SignGroupTest, SignInReturnsToTheLectureListOfItsPlayMode) {
    seatPupils(3);
    GDataManager* data = GDataManager::getInstance();
    data->enteredFrom = 2;
    data->gradeCode = 1;
    data->courseTypes[1].subjects[1].playMode = 4;
    enterLoaded(SignScene::create());
    support::click("Btn_Return");
    support::stepFrames(30);
    EXPECT_NE(runningAs<SignScene>(), nullptr);
    EXPECT_TRUE(logged("error subject playmodel : 4"));
    data->courseTypes[1].subjects[1].playMode = 3;
    support::click("Btn_Return");
    ASSERT_TRUE(waitForScene<TouLectureScene>());
    EXPECT_EQ(data->gradeCode, 0);
    EXPECT_EQ(data->enteredFrom, 0);

    data->enteredFrom = 2;
    data->courseTypes[1].subjects[1].playMode = 1;
    enterLoaded(SignScene::create());
    support::click("Btn_Return");
    ASSERT_TRUE(waitForScene<LectureScene>());
    EXPECT_EQ(data->enteredFrom, 0);
}

TEST_F(SignGroupTest, RandomGroupsFollowTheQuotaTable) {
    struct Case {
        int pupils, groups;
        std::vector<int> sizes;
    };
    const Case cases[] = {
        {9, 4, {2, 2, 2, 3}}, {10, 4, {3, 3, 2, 2}}, {11, 4, {3, 3, 3, 2}}, {12, 4, {3, 3, 3, 3}},
        {7, 3, {2, 2, 3}},    {8, 3, {3, 3, 2}},     {5, 2, {2, 3}},        {0, 2, {0, 0}},
    };
    seatPupils(1, 1);
    auto* scene = GroupScene::create();
    enter(scene);
    // A frozen clock: every draw still finds a group with room.
    CommonTools::getInstance()->setTimeSource([] { return int64_t{42}; });
    for (const Case& c : cases) {
        seatPupils(c.pupils + 2, c.pupils);
        GDataManager::getInstance()->groupCount = c.groups;
        scene->randomGroup();
        EXPECT_EQ(groupSizes(c.groups), c.sizes) << c.pupils << " in " << c.groups;
        const auto& pupils = GDataManager::getInstance()->students;
        EXPECT_EQ(pupils[static_cast<size_t>(c.pupils)].group, 0) << "not signed in";
    }
    CommonTools::getInstance()->setTimeSource(nullptr);
    GDataManager::getInstance()->groupCount = 5;
    scene->randomGroup();
    EXPECT_TRUE(logged("error group count: 5"));
}

TEST_F(SignGroupTest, HeadsAreDroppedIntoGroupsOnATallerWindow) {
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    seatPupils(14, 13);
    GDataManager::getInstance()->groupCount = 3;
    auto* scene = GroupScene::create();
    enter(scene);
    auto& pupils = GDataManager::getInstance()->students;
    ASSERT_EQ(scene->getListIcons().size(), 4u);

    Node* panel = findByName("GroupPanel3");
    support::drag(worldCenter(scene->getListIcons()[1]), worldCenter(findByName("GroupBg2", panel)));
    support::stepFrames(2);
    EXPECT_EQ(pupils[1].group, 2);
    ASSERT_EQ(scene->getGroupIcons().size(), 1u);
    EXPECT_EQ(scene->getGroupIcons()[0]->getTag(), 1);
    // Back onto the list, then nowhere: the icon returns.
    support::drag(worldCenter(scene->getGroupIcons()[0]), worldCenter(findByName("ListPanel")));
    support::stepFrames(2);
    EXPECT_EQ(pupils[1].group, 0);
    support::drag(worldCenter(scene->getListIcons()[0]), Vec2(640, 940));
    support::stepFrames(2);
    EXPECT_EQ(pupils[0].group, 0);

    // Ten in one group: the nine places show nine of them.
    for (int i = 0; i < 10; ++i) {
        pupils[static_cast<size_t>(i)].group = 1;
    }
    scene->refreshGroups();
    EXPECT_EQ(scene->getGroupIcons().size(), 9u);
    scene->randomGroup();
    support::stepFrames(2);
    support::saveScreenshot("group_tall");
    support::click("GroupBtn4");
    support::stepFrames(2);
    EXPECT_EQ(GDataManager::getInstance()->groupCount, 4);
    EXPECT_TRUE(scene->getGroupIcons().empty());
}

TEST_F(SignGroupTest, OnlyPupilsStillToGroupArePaged) {
    seatPupils(8, 8);
    for (StudentRecord& pupil : GDataManager::getInstance()->students) {
        pupil.group = pupil.id < 1004;
    }
    auto* scene = GroupScene::create();
    enter(scene);
    support::click("PageDownBtn");
    support::stepFrames(2);
    EXPECT_EQ(scene->getPage(), 1);
    EXPECT_EQ(navigation::textOf("PageText12"), "1");
    EXPECT_EQ(scene->getListIcons().size(), 4u);
    const auto pageText = [] { return navigation::textOf("PageText11") + "/" + navigation::textOf("PageText12"); };
    // A fifth pupil back on the list makes a second page; grouping him from there brings the list back to page 1.
    const auto toSecondPage = [&] {
        support::drag(headAt(scene->getGroupIcons()[0]), worldCenter(findByName("ListPanel")));
        support::stepFrames(2);
        support::click("PageDownBtn");
        support::stepFrames(2);
        EXPECT_EQ(pageText(), "2/2");
    };
    toSecondPage();
    ASSERT_EQ(scene->getListIcons().size(), 1u);
    Node* groups = findByName("GroupPanel" + std::to_string(GDataManager::getInstance()->groupCount));
    support::drag(headAt(scene->getListIcons()[0]), worldCenter(findByName("GroupBg1", groups)));
    support::stepFrames(2);
    EXPECT_EQ(pageText(), "1/1");
    EXPECT_EQ(scene->getListIcons().size(), 4u);
    // Everybody grouped behind the scene's back (by a scene over it): page 1 of none, no arrow; then one pupil
    // back on the list: page 1 shows him.
    toSecondPage();
    for (StudentRecord& pupil : GDataManager::getInstance()->students) {
        pupil.group = std::max(pupil.group, 1);
    }
    support::stepFrames(2);
    EXPECT_EQ(pageText(), "1/0");
    EXPECT_FALSE(findByName("PageUpBtn")->isVisible() || findByName("PageDownBtn")->isVisible());
    support::drag(headAt(scene->getGroupIcons()[0]), worldCenter(findByName("ListPanel")));
    support::stepFrames(2);
    EXPECT_EQ(scene->getListIcons().size(), 1u);
    EXPECT_EQ(pageText(), "1/1");
    support::saveScreenshot("group_one_back_on_the_list");
}

TEST_F(SignGroupTest, ConfirmingFetchesTheOpeningVideoFirst) {
    loadCatalogue();
    seatPupils(3, 3);
    GDataManager* data = GDataManager::getInstance();
    chooseLectureTwo();
    // Pupils without a group: the tip, and going on still fetches the previous lecture's summary video; one that is
    // no movie is removed and asked for again next time.
    const std::string movie = FileManager::getInstance()->getNetResPath() + "0101010101/mp4/SumMovie";
    for (const char* base : {"/fault/notmovie/", "/api/"}) {
        HttpManager::getInstance()->baseUrl = server.origin() + base;
        server.clearRecords();
        data->enteredFrom = 2;
        enter(GroupScene::create());
        support::saveScreenshot("group");
        support::click("ConfirmBtn");
        support::stepFrames(2);
        EXPECT_EQ(tipText(), "Some pupils have no group. Start anyway?");
        support::click("Button2");
        ASSERT_TRUE(waitForScene<LogicTopicScene>());
        EXPECT_EQ(std::filesystem::exists(movie + ".mp4"), std::string(base) == "/api/") << base;
    }
    EXPECT_TRUE(logged("opening video is not a movie"));
    EXPECT_EQ(data->groupCount, 0);
    const auto requests = requestsNamed("getCourseFileList");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].field("lesson"), "1");
    EXPECT_EQ(requests[0].field("phaseCode"), "1");
    EXPECT_TRUE(std::filesystem::exists(movie + ".mp4"));
    EXPECT_TRUE(std::filesystem::exists(movie + ".png"));
    EXPECT_EQ(data->enteredFrom, 0);

    // With the video on disk the lesson opens at once.
    enter(GroupScene::create());
    support::click("GroupBtn2");
    support::click("RandomBtn");
    support::click("ConfirmBtn");
    ASSERT_TRUE(waitForScene<LogicTopicScene>());
    EXPECT_EQ(requestsNamed("getCourseFileList").size(), 1u);
}

TEST_F(SignGroupTest, APressWhoseRequestFailsEndsInTheTipAndCanBeMadeAgain) {
    GDataManager* data = GDataManager::getInstance();
    const struct {
        const char* request;
        int playMode;
        std::function<BaseScene*()> scene;
        const char* button; // null: lecture 1's button
    } cases[] = {{"getCourseFileList", 1, [] { return GroupScene::create(); }, "ConfirmBtn"},
                 {"getStudentList", 1, [] { return LectureScene::create(); }, nullptr},
                 {"getCourseQuestionList", 2, [] { return TouLectureScene::create(); }, "Btn_TouLecture"},
                 {"getStudentList", 3, [] { return TouLectureScene::create(); }, "Btn_TouLecture"},
                 {"getClassList", 1, [] { return GradeScene::create(); }, "Btn_Grade1"},
                 // The login chain's requests after "login" fail only once the earlier ones were answered.
                 {"login", 1, [] { return LoginScene::create(); }, "Btn_Login"},
                 {"getCourseIcon", 1, [] { return LoginScene::create(); }, "Btn_Login"},
                 {"getCoursePermission", 1, [] { return LoginScene::create(); }, "Btn_Login"},
                 {"getUI", 1, [] { return LoginScene::create(); }, "Btn_Login"}};
    // What the demo server and a proxy in front of it answer: an error, a dropped reply, a redirect, refusals.
    for (const char* fault : {"http500", "cut", "http301", "http403", "http404", "http502", "http503"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(fault) + " " + c.request + " play mode " + std::to_string(c.playMode));
            HttpManager::getInstance()->baseUrl = server.origin() + "/fault/" + fault + "/on/" + c.request + "/";
            seatPupils(0);
            data->courseTypes[1].subjects[1].grades[1] = GradeRecord{1, 1, "", {{1, {1, 1, ""}}}};
            data->courseTypes[1].subjects[1].playMode = c.playMode;
            CoursewareManager::getInstance()->lists = {{1, {navigation::lecture(1, 1), navigation::lecture(1, 2)}}};
            chooseLectureTwo();
            enterLoaded(c.scene());
            ASSERT_TRUE(waitFor([] { return HttpManager::getInstance()->getLoadingPanel() == nullptr; }));
            if (auto* user = dynamic_cast<engine::ui::TextField*>(findByName("UserName"))) {
                user->setString("teacher");
                dynamic_cast<engine::ui::TextField*>(findByName("PassWord"))->setString("1234");
            }
            server.clearRecords();
            for (size_t presses = 1; presses <= 2; ++presses) {
                support::click(c.button ? findByName(c.button) : support::lectureButton(1));
                const std::string tip = "The server sent a bad reply to " + std::string(c.request) + ".";
                ASSERT_TRUE(waitFor([&tip] { return tipText() == tip; }));
                EXPECT_EQ(requestsNamed(c.request).size(), presses);
                EXPECT_EQ(HttpManager::getInstance()->getLoadingPanel(), nullptr);
                support::click("Button1");
            }
        }
    }
}

} // namespace
