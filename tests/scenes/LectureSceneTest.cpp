#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "NavigationFixture.h"
#include "base/Director.h"
#include "common/GDataManager.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "render/TextureCache.h"
#include "scenes/ClassScene.h"
#include "scenes/LectureScene.h"
#include "scenes/PupilChain.h"
#include "scenes/SignScene.h"
#include "support/LectureButton.h"
#include "ui/Button.h"
#include "ui/LoadingBar.h"
#include "ui/Text.h"

namespace {

using engine::Node;
using navigation::lecture;
using navigation::shown;
using navigation::textOf;
using support::findByName;

// Course type 1, subject 1, grade 1 with these phases (code, enabled), chosen in the global data.
void chooseGrade(std::initializer_list<std::pair<int, int>> phases) {
    GradeRecord grade{1, 1, "", {}};
    for (const auto& [code, enabled] : phases) {
        grade.phases[code] = PhaseRecord{enabled, code, ""};
    }
    navigation::chooseSubject({grade});
    GDataManager::getInstance()->gradeCode = 1;
}

class LectureSceneTest : public navigation::NavigationTest {
protected:
    LectureScene* enterLectures(const CoursewareList& list) {
        CoursewareManager::getInstance()->currentList = list;
        auto* scene = LectureScene::create();
        enterLoaded(scene);
        // The zero-length page move of the entry ends after 0.5 s.
        support::stepFrames(40);
        return scene;
    }

    // The "LectBtn" of lecture n on the page of stage s and page k.
    static engine::ui::Button* lectureButton(int stage, int page, int n) {
        return support::lectureButton(n, "Img_Bg" + std::to_string(stage) + std::to_string(page));
    }
};

TEST_F(LectureSceneTest, LaysOutEachStagesLecturesOnItsOwnPages) {
    chooseGrade({{1, 1}, {2, 1}, {3, 1}});
    CoursewareList list;
    for (int n = 1; n <= 7; ++n) {
        list.push_back(lecture(1, n));
    }
    list[2].CoursewareId = 0;
    list.push_back(lecture(2, 1, 5));
    list.push_back(lecture(2, 2, 4));
    LectureScene* scene = enterLectures(list);
    support::saveScreenshot("lecture");

    std::vector<int> pageTags;
    for (Node* page : scene->getPages()) {
        pageTags.push_back(page->getTag());
    }
    EXPECT_EQ(pageTags, (std::vector<int>{11, 12, 21}));
    EXPECT_EQ(textOf("PageText"), "1/3");
    EXPECT_EQ(GDataManager::getInstance()->phaseCode, 1);
    EXPECT_TRUE(dynamic_cast<engine::ui::Widget*>(findByName("StageBtn1"))->isHighlighted());
    // The record without id leaves its slot empty; the others keep their numbers.
    EXPECT_EQ(lectureButton(1, 1, 3), nullptr);
    ASSERT_NE(lectureButton(1, 2, 7), nullptr);
    EXPECT_EQ(textOf("NumText", lectureButton(1, 2, 7)), "7");
    EXPECT_FALSE(lectureButton(2, 1, 1)->isBright());
    EXPECT_TRUE(shown("Img_Download", lectureButton(2, 1, 1)->getParent()));
    EXPECT_TRUE(shown("Img_New", lectureButton(2, 1, 2)->getParent()));

    // Stage 3 has no lectures: its click changes nothing.
    support::click(findByName("StageBtn3"));
    support::stepFrames(40);
    EXPECT_EQ(scene->getCurrentPage(), 1);
    support::click(findByName("StageBtn2"));
    support::stepFrames(40);
    EXPECT_EQ(scene->getCurrentPage(), 3);
    EXPECT_EQ(textOf("PageText"), "3/3");
    EXPECT_EQ(GDataManager::getInstance()->phaseCode, 2);
    support::click(findByName("RightBtn"));
    support::stepFrames(40);
    EXPECT_EQ(scene->getCurrentPage(), 3);
}

TEST_F(LectureSceneTest, TheClickedButtonDecidesTheLectureAndItsStateTheAction) {
    chooseGrade({{1, 1}, {2, 1}});
    CoursewareList list{lecture(1, 1, 5), lecture(1, 2, 2), lecture(1, 3, 3), lecture(1, 4, 5), lecture(2, 1, 5)};
    list[3].Url.clear();
    LectureScene* scene = enterLectures(list);
    CoursewareManager* courseware = CoursewareManager::getInstance();

    // Lectures 1 to 4 of the first page: queued, downloading (two states), without address.
    const char* tips[] = {"", "This lecture is still downloading.", "This lecture is still downloading.",
                          "This lecture has no download address."};
    for (int n = 1; n <= 4; ++n) {
        courseware->queue.clear();
        support::click(lectureButton(1, 1, n));
        support::stepFrames(30);
        EXPECT_EQ(tipText(), tips[n - 1]) << n;
        EXPECT_EQ(courseware->queue.size(), n == 1 ? 1u : 0u) << n;
        EXPECT_EQ(shown("Loading", lectureButton(1, 1, n)->getParent()), n <= 3) << n;
        if (findByName("BgImage1")) {
            support::click("Button1");
            support::stepFrames(2);
        }
    }
    EXPECT_EQ(courseware->currentList[0].state, 2);
    EXPECT_EQ(courseware->currentList[3].state, 5);

    // A click on the coming page while the pages still move opens the lecture of the button, not one of the
    // stage shown before.
    courseware->queue.clear();
    support::click(findByName("RightBtn"));
    support::stepFrames(10);
    support::click(lectureButton(2, 1, 1));
    support::stepFrames(40);
    ASSERT_EQ(courseware->queue.size(), 1u);
    EXPECT_EQ(courseware->queue[0].key, "0101010201");
    EXPECT_EQ(scene->getCurrentPage(), 2);

    // A lecture missing from the list does nothing.
    courseware->currentList.erase(courseware->currentList.begin() + 4);
    courseware->queue.clear();
    support::click(lectureButton(2, 1, 1));
    support::stepFrames(30);
    EXPECT_TRUE(courseware->queue.empty());
    EXPECT_TRUE(logged("error lecture: 0101010201 is not in the list"));
    EXPECT_EQ(runningAs<LectureScene>(), scene);
}

TEST_F(LectureSceneTest, DownloadsShowTheirProgressAndEnd) {
    chooseGrade({{1, 1}});
    // Course type 22 gives a code above 2^31 - 1.
    CoursewareData big = lecture(1, 2, 2);
    big.Identify = "2201010102";
    enterLectures({lecture(1, 1, 2), big});
    CoursewareManager* courseware = CoursewareManager::getInstance();
    Node* loading = findByName("Loading", lectureButton(1, 1, 1)->getParent());

    courseware->progressCallback("0101010101", 512, 1024);
    EXPECT_EQ(textOf("LoadText", loading), "50%");
    EXPECT_FLOAT_EQ(dynamic_cast<engine::ui::LoadingBar*>(findByName("LoadingBar", loading))->getPercent(), 50.f);
    courseware->progressCallback("0101010101", 10, 0);
    EXPECT_EQ(textOf("LoadText", loading), "0%");
    courseware->progressCallback("2201010102", 256, 1024);
    EXPECT_EQ(textOf("LoadText", lectureButton(1, 1, 2)->getParent()), "25%");
    support::saveScreenshot("lecture_downloading");

    courseware->finishCallback("x.zip", "0101010101");
    EXPECT_FALSE(loading->isVisible());
    EXPECT_TRUE(lectureButton(1, 1, 1)->isBright());

    // The callbacks never reach a scene that has gone.
    enter(ClassScene::create());
    EXPECT_FALSE(courseware->progressCallback);
    EXPECT_FALSE(courseware->finishCallback);
}

TEST_F(LectureSceneTest, AReadyLectureLoadsThePupilsAndTheirHeadsIntoTheSignIn) {
    loadCatalogue();
    GDataManager* data = GDataManager::getInstance();
    data->courseTypeCode = 1;
    data->subjectCode = 1;
    data->gradeCode = 1;
    data->classIdSelected = 101;
    data->students.push_back(StudentRecord{});
    // Anna's head is on disk already.
    const std::string heads = FileManager::getInstance()->getHeadImgsPath();
    std::filesystem::copy_file(courseware::CoursewareServer::defaultDataDir() / "files/heads/p1001.png",
                               heads + "p1001.png");
    enterLectures({lecture(1, 1)});
    EXPECT_TRUE(data->students.empty());

    support::click(lectureButton(1, 1, 1));
    support::stepFrames(30);
    // A second click while the pupils load is dropped.
    if (Node* button = lectureButton(1, 1, 1)) {
        support::click(button);
    }
    ASSERT_TRUE(waitForScene<SignScene>());
    const auto requests = requestsNamed("getStudentList");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].field("classId"), "101");
    EXPECT_EQ(data->enteredFrom, 2);

    const auto& pupils = data->students;
    ASSERT_EQ(pupils.size(), 9u);
    EXPECT_EQ(pupils[0].headImage, "p1001.png");
    EXPECT_EQ(pupils[1].headImage, heads + "p1002.png");
    EXPECT_TRUE(std::filesystem::exists(heads + "p1002.png"));
    EXPECT_EQ(pupils[7].headImage, "HeadImg" + std::to_string(pupils[7].sex) + ".png");
    // The head that cannot be downloaded shows the default head.
    EXPECT_EQ(pupils[8].headImage, "HeadImg" + std::to_string(pupils[8].sex) + ".png");
    EXPECT_EQ(pupils[8].id, 1009);
    EXPECT_EQ(pupils[8].number, 9);
    EXPECT_EQ(pupils[8].listIndex, 8);
    EXPECT_GT(pupils[0].sex, 0);
}

TEST_F(LectureSceneTest, AHeadThatIsNoPictureShowsTheDefaultHeadAndIsFetchedAgain) {
    // Anna's head is an HTML page, Ben's 17 MB long; Cleo's address names no file. Then both are too large, then
    // too much work.
    bool doneAtOnce = false;
    const auto seat = [this, &doneAtOnce](const std::string& annaFault, const std::string& benFault) {
        rapidjson::Document reply;
        reply.Parse(("[{\"sex\": \"2\", \"pic\": \"" + server.origin() + annaFault + "/files/heads/p1001.png\"}, " +
                     "{\"sex\": \"1\", \"pic\": \"" + server.origin() + benFault + "/files/heads/p1002.png\"}, " +
                     R"({"sex": "2", "pic": "/files/heads/.png"}])")
                        .c_str());
        GDataManager::getInstance()->students.clear();
        PupilChain chain;
        bool done = false;
        chain.start(reply, [&done] { done = true; });
        doneAtOnce = done;
        EXPECT_TRUE(waitFor([&done] { return done; }));
        std::vector<std::string> heads;
        for (const StudentRecord& pupil : GDataManager::getInstance()->students) {
            heads.push_back(pupil.headImage);
        }
        return heads;
    };
    const std::string folder = FileManager::getInstance()->getHeadImgsPath();
    const std::vector<std::string> defaults{"HeadImg2.png", "HeadImg1.png", "HeadImg2.png"};
    EXPECT_EQ(seat("/fault/notpicture", "/fault/huge"), defaults);
    EXPECT_FALSE(std::filesystem::exists(folder + "p1001.png"));
    EXPECT_TRUE(logged("onTaskError : p1002: longer than 16777216 bytes"));
    EXPECT_EQ(countLogged("onTaskError"), 1) << "no download for Cleo";
    // Pictures that claim 30000x30000 pixels are refused before they are decoded.
    EXPECT_EQ(seat("/fault/hugepng", "/fault/hugesvg"), defaults);
    EXPECT_TRUE(logged("picture of 30000x30000 is larger than 1024x1024: " + folder + "p1001.png"));
    EXPECT_TRUE(logged("picture is no PNG or JPEG: " + folder + "p1002.png"));
    EXPECT_FALSE(std::filesystem::exists(folder + "p1002.png"));
    // Pictures that would cost minutes to decode: 2000 scans, 1 MB of data that inflates to 1 GB.
    EXPECT_EQ(seat("/fault/scanjpeg", "/fault/surpluspng"), defaults);
    EXPECT_TRUE(logged("picture of more than 64 scans: " + folder + "p1001.png"));
    // A head's file is bounded near its pixels' need before its data is read.
    EXPECT_TRUE(logged("picture of 16x16 is 1061956 bytes, more than its pixels need: " + folder + "p1002.png"));
    // The next time the pictures are fetched again.
    EXPECT_EQ(seat("", ""), (std::vector<std::string>{folder + "p1001.png", folder + "p1002.png", "HeadImg2.png"}));
    // Heads on disk and out of the texture cache are decoded off the main loop.
    for (const char* head : {"p1001.png", "p1002.png"}) {
        engine::Director::getInstance()->getTextureCache()->removeTextureForKey(folder + head);
    }
    EXPECT_EQ(seat("", ""), (std::vector<std::string>{"p1001.png", "p1002.png", "HeadImg2.png"}));
    EXPECT_FALSE(doneAtOnce);
}

TEST_F(LectureSceneTest, PupilIdsAndSexesReadAsNumbersOrTexts) {
    navigation::ScriptedServer scripted;
    HttpManager::getInstance()->baseUrl = scripted.baseUrl();
    chooseGrade({{1, 1}});
    enterLectures({lecture(1, 1)});
    support::click(lectureButton(1, 1, 1));
    support::stepFrames(30);
    scripted.answer(R"([{"id":"12","name":"Ada","sex":2,"pic":""},{"id":13,"name":"Bo","sex":"1","pic":""},7])");
    ASSERT_TRUE(waitForScene<SignScene>());
    const auto& pupils = GDataManager::getInstance()->students;
    ASSERT_EQ(pupils.size(), 2u);
    EXPECT_EQ(pupils[0].id, 12);
    EXPECT_EQ(pupils[0].headImage, "HeadImg2.png");
    EXPECT_EQ(pupils[1].id, 13);
    EXPECT_EQ(pupils[1].sex, 1);
}

TEST_F(LectureSceneTest, LooksFinishedOnATallerWindow) {
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    chooseGrade({{1, 1}, {2, 1}});
    enterLectures({lecture(1, 1), lecture(1, 2, 5), lecture(2, 1)});
    support::saveScreenshot("lecture_tall");
    Node* tab = findByName("StageBtn1");
    Node* firstButton = lectureButton(1, 1, 1);
    ASSERT_TRUE(tab && firstButton);
    // Tabs and pages keep together at the top of the window.
    EXPECT_NEAR(support::worldCenter(tab).y, 605.f + 240.f, 1.f);
    EXPECT_GT(support::worldCenter(tab).y, support::worldCenter(firstButton).y);
}

} // namespace
