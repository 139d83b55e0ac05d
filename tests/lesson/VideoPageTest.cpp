// The lesson video page: which still and movie each content kind shows, its play button, and the summary page's
// results upload (the exact text and fields the server receives, the finish view on success, every result kept
// when the upload fails).
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>

#include "LessonFixture.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "lesson/PopupLayer.h"
#include "lesson/SFVideoPlayer.h"
#include "lesson/UnsentResults.h"
#include "lesson/VideoLayer.h"
#include "lesson/VideoPlaySprite.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "render/TextureCache.h"
#include "scenes/LoginScene.h"
#include "support/Headless.h"
#include "ui/TextField.h"

namespace {

using support::click;
using support::findByName;

class VideoPage : public lesson::LessonTest {};

TEST_F(VideoPage, MovieOfEachContentKind) {
    const std::string netRes = FileManager::getInstance()->getNetResPath();
    struct Case {
        lesson::Lecture lecture;
        int kind;
        std::string base;
    } cases[] = {
        // The first lecture of the list, or one not in it, opens with the program's own movie.
        {{1, 1, 2, 1, 1}, 5, "movie/20000"},
        {{3, 5, 1, 1, 1}, 5, "movie/Login"},
        {{1, 1, 1, 1, 9}, 5, "movie/10000"},
        // Later lectures open with the summary of the one before.
        {{1, 1, 1, 1, 3}, 5, netRes + "0101010102/mp4/SumMovie"},
        {{1, 1, 1, 1, 3}, 7, netRes + "0101010103/mp4/LecMovie"},
        {{1, 1, 1, 1, 3}, 8, netRes + "0101010103/mp4/SumMovie"},
        {{1, 1, 1, 1, 3}, 4, ""},
    };
    for (const Case& c : cases) {
        choose(c.lecture);
        std::string picture, video;
        VideoLayer::moviePaths(c.kind, picture, video);
        EXPECT_EQ(picture, c.base.empty() ? "" : c.base + ".png") << c.kind << " " << c.base;
        EXPECT_EQ(video, c.base.empty() ? "" : c.base + ".mp4") << c.kind << " " << c.base;
    }
    EXPECT_TRUE(logged("error topic type: 4"));
}

TEST_F(VideoPage, PlayOpensThePlayerOverTheLessonOrTellsTheFileIsMissing) {
    choose({1, 1, 1, 1, 1});
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    support::saveScreenshot("lesson_video_page");
    // A picture kept from an earlier screen goes while the movie plays and comes back when it closes.
    engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
    ASSERT_NE(cache->addImage("HeadImg1.png"), nullptr);
    click("PlayBtn");
    // The movie's check runs first, off the main thread.
    ASSERT_TRUE(waitFor([scene] { return lesson::childOf<SFVideoPlayer>(scene) != nullptr; }));
    SFVideoPlayer* player = lesson::childOf<SFVideoPlayer>(scene);
    EXPECT_EQ(player->getLocalZOrder(), 106);
    EXPECT_EQ(cache->getTextureForKey("HeadImg1.png"), nullptr);
    ASSERT_TRUE(waitFor([player] {
        return findByName("Slider") && player->getVideoSprite() && player->getVideoSprite()->getShownFrameCount() > 0;
    }));
    support::saveScreenshot("lesson_video_playing");
    // One press closes the player.
    ASSERT_TRUE(click("Btn_Skip"));
    support::stepFrames(2);
    EXPECT_EQ(findByName("Btn_Skip"), nullptr);
    EXPECT_TRUE(waitFor([cache] { return cache->getTextureForKey("HeadImg1.png") != nullptr; }));

    VideoLayer::playVideo(programFolder() + "missing.mp4");
    support::stepFrames(2);
    EXPECT_EQ(tipText(), "File not found");
    ASSERT_TRUE(click("Button1"));
    ASSERT_TRUE(waitFor([] { return tipText().empty(); }));

    // A package movie that only starts like one is told missing too, and left where it is.
    const std::string junk = programFolder() + "junk.mp4";
    std::ofstream(junk, std::ios::binary) << std::string("\0\0\0\x20ftypisom", 12) << std::string(4096, 'x');
    VideoLayer::playVideo(junk);
    ASSERT_TRUE(waitFor([] { return tipText() == "File not found"; }));
    EXPECT_EQ(lesson::childOf<SFVideoPlayer>(scene), nullptr);
    EXPECT_TRUE(logged("lesson movie is not a movie: " + junk));
    EXPECT_TRUE(std::filesystem::exists(junk));
}

// An opening whose movie is not on this computer offers no play button; its ribbon tells the missing file.
TEST_F(VideoPage, AnOpeningWhoseMovieIsMissingOffersNoPlayer) {
    const std::string netRes = FileManager::getInstance()->getNetResPath();
    const struct {
        lesson::Lecture lecture;
        std::string removed;
        bool playable;
    } cases[] = {
        {{4, 6, 1, 1, 2}, "0406010101", false},
        {{4, 6, 1, 1, 2}, "", true},
        {{1, 1, 1, 1, 1}, "", true},
        {{1, 1, 6, 1, 1}, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lecture.grade * 10 + c.lecture.lesson);
        choose(c.lecture);
        if (!c.removed.empty()) {
            std::filesystem::remove_all(netRes + c.removed);
        }
        ASSERT_NE(openLessonPlayer(), nullptr);
        EXPECT_EQ(lesson::shown("PlayBtn"), c.playable);
        EXPECT_EQ(lesson::shown("Img_Title"), !c.playable);
        if (!c.playable) {
            EXPECT_EQ(lesson::textOf("Text_Title"), "File not found");
            support::saveScreenshot("lesson_opening_missing");
        }
    }
}

TEST(ResultsText, IsTheCompactArrayInListOrder) {
    struct Case {
        std::vector<StudentRecord> pupils;
        const char* text;
    } cases[] = {
        {{}, "[]"},
        {{{15, 1, "Anna", 2, "", 3, 0, 1, true, 2, 42}},
         R"([{"studentId":15,"isSign":1,"score":3,"gameTime":42,"gameScore":2}])"},
        {{{7, 0, "Ben", 1, "", -4, 0, 1, false, 0, 0}, {8, 2, "Cy", 1, "", 0, 1, 2, true, -1, 9}},
         R"([{"studentId":7,"isSign":0,"score":-4,"gameTime":0,"gameScore":0},)"
         R"({"studentId":8,"isSign":1,"score":0,"gameTime":9,"gameScore":-1}])"},
    };
    for (const Case& c : cases) {
        GDataManager::getInstance()->students = c.pupils;
        EXPECT_EQ(VideoLayer::resultsText(), c.text);
    }
    GDataManager::getInstance()->students.clear();
}

class ResultsUpload : public lesson::LessonTest {
protected:
    // The lesson player on its summary page, with the class seated.
    LogicTopicScene* openSummary() {
        choose({});
        seatPupils();
        LogicTopicScene* scene = openLessonPlayer();
        if (scene) {
            scene->selectNav(NavSummaryVideo);
            support::stepFrames(2);
        }
        return scene;
    }
    static bool finishShown() { return lesson::shown("Layout_Finish"); }
};

TEST_F(ResultsUpload, SendsTheClassOnceAndShowsTheFinishView) {
    LogicTopicScene* scene = openSummary();
    ASSERT_NE(scene, nullptr);
    const std::string results = VideoLayer::resultsText();
    click("FinishBtn");
    // A second press while the upload is out does nothing (the loading panel may be gone with another reply).
    HttpManager::getInstance()->removeLoading();
    click("FinishBtn");
    ASSERT_TRUE(waitFor([] { return finishShown(); }));
    support::stepFrames(40);
    support::saveScreenshot("lesson_player_finish");

    const auto scores = server.scores();
    ASSERT_EQ(scores.size(), 1u);
    const courseware::FormFields expected = {{"classId", "101"}, {"gradeCode", "1"}, {"lesson", "2"},
                                             {"phaseCode", "1"}, {"score", results}, {"subjectCode", "1"},
                                             {"typeCode", "1"}};
    EXPECT_EQ(scores[0].request.fields, expected);
    EXPECT_TRUE(GDataManager::getInstance()->getStudents().empty());
    EXPECT_EQ(CommonTools::getInstance()->groupScores, (std::array<int, 4>{0, 0, 0, 0}));
    // Over the whole lesson player, its buttons dropped in to the top edge; "Btn_Again" leaves only the login scene.
    auto* popup = dynamic_cast<PopupLayer*>(findByName("Layout_Bg")->getParent()->getParent());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->getParent(), player());
    for (const char* name : {"Btn_Again", "Btn_Finish"}) {
        EXPECT_FLOAT_EQ(findByName(name)->getPositionY(), 720.f) << name;
        EXPECT_FLOAT_EQ(findByName(name)->getScaleY(), 1.f) << name;
    }
    click("Btn_Again", popup);
    support::stepFrames(3);
    EXPECT_NE(dynamic_cast<LoginScene*>(engine::Director::getInstance()->getRunningScene()), nullptr);
    EXPECT_EQ(engine::Director::getInstance()->getSceneStackSize(), 1u);
}

TEST_F(ResultsUpload, AFailedUploadKeepsEveryResultAndCanBeSentAgain) {
    ASSERT_NE(openSummary(), nullptr);
    // Every pupil's five results, in list order.
    const std::string results = VideoLayer::resultsText();
    const std::array<int, 4> groups = CommonTools::getInstance()->groupScores;
    HttpManager* http = HttpManager::getInstance();
    const std::string good = http->baseUrl;
    // No answer reads as no network; a bad reply names the request; a refusal shows the server's message.
    const std::string bad = "The server sent a bad reply to saveScore.";
    const std::pair<std::string, std::string> faults[] = {
        {server.origin() + "/fault/notjson/", bad},
        {server.origin() + "/fault/status5/", "x"},
        {server.origin() + "/fault/http500/", bad},
        {closedBaseUrl(), "Cannot reach the server. Check the network."}};
    for (const auto& [base, tip] : faults) {
        SCOPED_TRACE(base);
        http->baseUrl = base;
        click("FinishBtn");
        ASSERT_TRUE(waitFor([http] { return !http->isAwaitingReply("saveScore"); }));
        support::stepFrames(2);
        EXPECT_EQ(tipText(), tip);
        EXPECT_FALSE(finishShown());
        EXPECT_EQ(VideoLayer::resultsText(), results);
        EXPECT_EQ(CommonTools::getInstance()->groupScores, groups);
        support::saveScreenshot("lesson_player_upload_failed");
        click("Button1");
        support::stepFrames(2);
    }
    EXPECT_TRUE(server.scores().empty());
    http->baseUrl = good;
    click("FinishBtn");
    ASSERT_TRUE(waitFor([] { return finishShown(); }));
    EXPECT_EQ(server.scores().size(), 1u);
}

// The token goes stale during the lesson: the results wait in the program folder for the teacher's next login.
TEST_F(ResultsUpload, AStaleLoginKeepsTheResultsUntilTheNextLoginSendsThem) {
    ASSERT_NE(openSummary(), nullptr);
    HttpManager::getInstance()->account = "teacher";
    const std::string results = VideoLayer::resultsText();
    server.expireLogins();
    click("FinishBtn");
    ASSERT_TRUE(waitFor([] { return tipText() == PlistManager::getInstance()->getText("ScoreStr1"); }));
    EXPECT_TRUE(std::filesystem::exists(UnsentResults::filePath()));
    click("Button1");
    ASSERT_TRUE(waitFor([] { return dynamic_cast<LoginScene*>(engine::Director::getInstance()->getRunningScene()); }));
    GDataManager::getInstance()->students.clear();
    dynamic_cast<engine::ui::TextField*>(findByName("UserName"))->setString("teacher");
    dynamic_cast<engine::ui::TextField*>(findByName("PassWord"))->setString("1234");
    dynamic_cast<LoginScene*>(engine::Director::getInstance()->getRunningScene())->onLoginClicked(nullptr);
    ASSERT_TRUE(waitFor([] { return !std::filesystem::exists(UnsentResults::filePath()); }));
    const auto scores = server.scores();
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_EQ(scores[0].request.field("score"), results);
    EXPECT_EQ(scores[0].request.field("classId"), "101");
    // The same bytes as the first try, so a server can drop a repeat whose reply was lost.
    const auto tries = requestsNamed("saveScore");
    ASSERT_EQ(tries.size(), 2u);
    EXPECT_EQ(tries[1].body, tries[0].body);
}

// The kept upload cannot be written: it waits in memory for the same teacher's login, not another's.
TEST_F(ResultsUpload, AKeepThatCannotBeWrittenWaitsInMemoryForTheSameTeacher) {
    ASSERT_NE(openSummary(), nullptr);
    HttpManager* http = HttpManager::getInstance();
    http->account = "teacher";
    const std::string results = VideoLayer::resultsText();
    std::filesystem::create_directories(UnsentResults::filePath() + ".part");
    server.expireLogins();
    click("FinishBtn");
    ASSERT_TRUE(waitFor([] { return tipText() == PlistManager::getInstance()->getText("ScoreStr2"); }));
    EXPECT_FALSE(std::filesystem::exists(UnsentResults::filePath()));
    click("Button1");
    ASSERT_TRUE(waitFor([] { return dynamic_cast<LoginScene*>(engine::Director::getInstance()->getRunningScene()); }));
    GDataManager::getInstance()->students.clear();
    for (const char* teacher : {"teacher2", "teacher"}) {
        logIn(teacher);
        UnsentResults::sendFor(teacher);
        ASSERT_TRUE(waitFor([http] { return !http->isAwaitingReply("saveScore"); }));
    }
    const auto scores = server.scores();
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_EQ(scores[0].request.token, http->token);
    EXPECT_EQ(scores[0].request.field("score"), results);
}

// A kept upload hangs on the one connection: the Finish still sends the class's results, behind it.
TEST_F(ResultsUpload, AFinishWhileAKeptUploadIsOutStillSends) {
    ASSERT_NE(openSummary(), nullptr);
    HttpManager* http = HttpManager::getInstance();
    const std::string good = http->baseUrl;
    http->account = "teacher";
    // The stall route holds a "gradeCode" above 1.
    UnsentResults::keep("teacher", {{"classId", "102"}, {"gradeCode", "2"}});
    expectTip("Lessons whose results could not be sent yet"); // the kept one, once let go with a 503
    http->baseUrl = server.origin() + "/fault/stall/";
    UnsentResults::sendFor("teacher");
    http->baseUrl = good;
    // Its panel went with the login scene.
    http->removeLoading();
    click("FinishBtn");
    ASSERT_TRUE(httplib::Client(server.origin()).Get("/fault/release"));
    ASSERT_TRUE(waitFor([] { return finishShown(); }));
    ASSERT_EQ(server.scores().size(), 1u);
    EXPECT_EQ(server.scores()[0].request.field("classId"), "101");
}

TEST_F(ResultsUpload, AReplyAfterThePageWentOpensNothing) {
    LogicTopicScene* scene = openSummary();
    ASSERT_NE(scene, nullptr);
    click("FinishBtn");
    scene->selectNav(NavOpeningVideo);
    ASSERT_TRUE(waitFor([] { return !HttpManager::getInstance()->isAwaitingReply("saveScore"); }));
    support::stepFrames(5);
    EXPECT_EQ(server.scores().size(), 1u);
    EXPECT_FALSE(finishShown());
    EXPECT_EQ(GDataManager::getInstance()->getStudents().size(), 9u);
}

} // namespace
