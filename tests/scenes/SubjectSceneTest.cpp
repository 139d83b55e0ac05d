#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "NavigationFixture.h"
#include "base/Director.h"
#include "base/Scheduler.h"
#include "common/GDataManager.h"
#include "net/CoursewareManager.h"
#include "net/FileManager.h"
#include "net/HttpManager.h"
#include "net/SqManager.h"
#include "scenes/CourseScene.h"
#include "scenes/GradeScene.h"
#include "scenes/SubjectScene.h"
#include "scenes/TouGradeScene.h"
#include "scenes/TouLectureScene.h"
#include "ui/Button.h"
#include "ui/Text.h"

namespace {

using support::click;
using support::findByName;

class SubjectSceneTest : public navigation::NavigationTest {
protected:
    // One course type 1 holding subject 1 of that play mode with those grades, and further plain subjects.
    static void setSubject(int playMode, std::initializer_list<int> grades, int extraSubjects = 0) {
        CourseTypeRecord type;
        type.typeCode = 1;
        type.enabled = 1;
        type.typeName = "Lessons";
        SubjectRecord subject;
        subject.subjectCode = 1;
        subject.enabled = 1;
        subject.playMode = playMode;
        for (int code : grades) {
            subject.grades[code].gradeCode = code;
            subject.grades[code].enabled = 1;
        }
        type.subjects[1] = subject;
        for (int code = 2; code <= extraSubjects + 1; ++code) {
            type.subjects[code].subjectCode = code;
            type.subjects[code].enabled = 1;
        }
        GDataManager::getInstance()->courseTypes = {{1, type}};
        GDataManager::getInstance()->courseTypeCode = 1;
    }

    engine::Node* subjectButton(int code) const {
        for (engine::Node* button : courseButtons()) {
            if (button->getTag() == code) {
                return button;
            }
        }
        return nullptr;
    }

    // Clicks the button of that subject on the page shown.
    void chooseSubject(int code) {
        engine::Node* button = subjectButton(code);
        ASSERT_NE(button, nullptr) << "subject " << code;
        click(button);
    }

    // The record filed under listGrade with that identify code; null when none.
    static const CoursewareData* filed(int listGrade, const std::string& identify) {
        auto& lists = CoursewareManager::getInstance()->lists;
        auto list = lists.find(listGrade);
        if (list == lists.end()) {
            return nullptr;
        }
        for (const CoursewareData& record : list->second) {
            if (record.Identify == identify) {
                return &record;
            }
        }
        return nullptr;
    }

    // A downloaded package as the download queue leaves it: its row and, when wanted, its folder.
    void addPackage(const std::string& identify, const std::string& hash, bool withFolder) {
        CoursewareData row;
        row.Identify = identify;
        row.Hash = hash;
        SqManager::getInstance()->insertCourseware(row);
        if (withFolder) {
            std::filesystem::create_directories(FileManager::getInstance()->getNetResPath() + identify);
        }
    }

    static std::string serverHash(const std::string& identify) {
        courseware::DataFolder folder(courseware::CoursewareServer::defaultDataDir());
        return folder.digest("courseware/" + identify + ".zip");
    }

    int loggedResponses() const { return countLogged("request http response"); }
};

TEST_F(SubjectSceneTest, ShowsTheCourseTypesSubjectsUnderItsName) {
    loadCatalogue();
    GDataManager* data = GDataManager::getInstance();
    data->courseTypeCode = 1;
    data->subjectCode = 9;
    data->gradeCode = 9;
    data->classIdSelected = 9;
    CoursewareManager::getInstance()->lists[7].push_back(CoursewareData());
    CoursewareManager::getInstance()->currentList.push_back(CoursewareData());
    auto* scene = SubjectScene::create();
    enter(scene);
    EXPECT_EQ(data->courseTypeCode, 1);
    EXPECT_EQ(data->subjectCode, 0);
    EXPECT_EQ(data->gradeCode, 0);
    EXPECT_EQ(data->classIdSelected, 0);
    EXPECT_TRUE(CoursewareManager::getInstance()->lists.empty());
    EXPECT_TRUE(CoursewareManager::getInstance()->currentList.empty());

    auto* title = dynamic_cast<engine::ui::Text*>(findByName("Text_Title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->getString(), "Classroom Lessons");
    ASSERT_NE(findByName("Img_Title"), nullptr);
    EXPECT_FLOAT_EQ(findByName("Img_Title")->getPositionY(), engine::Director::getInstance()->getWinSize().height);

    const auto buttons = courseButtons();
    ASSERT_EQ(buttons.size(), 3u);
    const engine::Size panel = findByName("Panel_Layout")->getContentSize();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(buttons[i]->getTag(), i + 1);
        EXPECT_FLOAT_EQ(buttons[i]->getPositionX(), static_cast<float>(2 * i + 1) * panel.width / 6.f);
        EXPECT_FLOAT_EQ(buttons[i]->getPositionY(), panel.height * 0.75f);
    }
    // "Science" is locked.
    EXPECT_FALSE(dynamic_cast<engine::ui::Button*>(buttons[2])->isBright());
    EXPECT_FALSE(dynamic_cast<engine::ui::Button*>(buttons[2])->isTouchEnabled());
    EXPECT_EQ(scene->getPageCount(), 1);
    support::saveScreenshot("subject");
}

TEST_F(SubjectSceneTest, SevenSubjectsMakeTwoPages) {
    setSubject(1, {}, 6);
    auto* scene = SubjectScene::create();
    enter(scene);
    EXPECT_EQ(scene->getPageCount(), 2);
    EXPECT_EQ(courseButtons().size(), 6u);
    EXPECT_FLOAT_EQ(courseButtons()[5]->getPositionY(), findByName("Panel_Layout")->getContentSize().height * 0.25f);
    ASSERT_TRUE(click("Btn_Next"));
    const auto buttons = courseButtons();
    ASSERT_EQ(buttons.size(), 1u);
    const engine::Size panel = findByName("Panel_Layout")->getContentSize();
    EXPECT_EQ(buttons[0]->getTag(), 7);
    EXPECT_FLOAT_EQ(buttons[0]->getPositionX(), panel.width / 6.f);
    EXPECT_FLOAT_EQ(buttons[0]->getPositionY(), panel.height * 0.75f);
    ASSERT_TRUE(click("Btn_Next"));
    EXPECT_EQ(scene->getPage(), 2);
}

TEST_F(SubjectSceneTest, FetchesEveryGradeAndFilesItsCoursewareWithItsState) {
    loadCatalogue();
    SqManager::getInstance()->initCoursewareTable();
    addPackage("0101010101", serverHash("0101010101"), true);  // ready
    addPackage("0101010102", "an older hash", true);           // outdated
    addPackage("0101010103", serverHash("0101010103"), false); // folder gone
    addPackage("0101010104", serverHash("0101010104"), true);  // queued wins over ready
    addPackage("0101010105", "an older hash", true);           // its new version downloaded, being extracted
    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->addDownloadTask({"0101010105", server.origin() + "/files/courseware/0101010105.zip", "", ""});
    ASSERT_TRUE(waitFor([courseware] { return courseware->queue.empty() && courseware->busy == 0; }));
    // The extraction's result waits on the storage service's tick, held here.
    engine::Scheduler* scheduler = engine::Director::getInstance()->getScheduler();
    scheduler->pauseTarget(SqManager::getInstance());
    courseware->busy = 1; // the queue must not start downloading here
    courseware->queue.push_back({"0101010104", "http://127.0.0.1:1/none.zip", "", "0101010104"});

    GDataManager::getInstance()->courseTypeCode = 1;
    enter(SubjectScene::create());
    chooseSubject(1);
    ASSERT_TRUE(waitForScene<GradeScene>());
    EXPECT_EQ(GDataManager::getInstance()->subjectCode, 1);

    const auto requests = requestsNamed("getCourseList");
    ASSERT_EQ(requests.size(), 3u);
    const char* grades[] = {"1", "2", "5"};
    for (size_t i = 0; i < requests.size(); ++i) {
        const courseware::FormFields expected{{"gradeCode", grades[i]}, {"subjectCode", "1"}, {"typeCode", "1"}};
        EXPECT_EQ(requests[i].fields, expected);
    }

    ASSERT_EQ(courseware->lists.size(), 3u);
    EXPECT_EQ(courseware->lists[1].size(), 20u) << "twelve lectures and the eight topic tours";
    EXPECT_EQ(courseware->lists[2].size(), 1u);
    EXPECT_EQ(courseware->lists[5].size(), 9u);
    EXPECT_EQ(courseware->lists[1][8].Identify, "0101010201") << "after stage 1's six lectures and two tours";
    for (const char* identify : {"0101010101", "0101010102", "0101010103", "0101010104", "0101010105"}) {
        ASSERT_TRUE(filed(1, identify)) << identify;
    }
    EXPECT_EQ(filed(1, "0101010101")->state, 1);
    EXPECT_TRUE(filed(1, "0101010101")->downloaded);
    EXPECT_EQ(filed(1, "0101010102")->state, 4);
    EXPECT_EQ(filed(1, "0101010103")->state, 5);
    EXPECT_FALSE(filed(1, "0101010103")->downloaded);
    EXPECT_EQ(filed(1, "0101010104")->state, 2);
    EXPECT_EQ(filed(1, "0101010105")->state, 2);
    scheduler->resumeTarget(SqManager::getInstance());
    ASSERT_TRUE(filed(5, "0101050106"));
    EXPECT_EQ(filed(5, "0101050106")->state, 5);
    EXPECT_EQ(filed(5, "0101050106")->LectureName, "Unit test");

    // The panel the requests left went with the scene.
    support::stepFrames(2);
    EXPECT_EQ(HttpManager::getInstance()->getLoadingPanel(), nullptr);
}

TEST_F(SubjectSceneTest, OtherPlayModesLoadThePupilsAndOpenTheirLists) {
    loadCatalogue();
    // "Story Time" has a subject without grades: one request for grade 0, then straight to its lectures.
    GDataManager::getInstance()->courseTypeCode = 3;
    enter(SubjectScene::create());
    chooseSubject(5);
    ASSERT_TRUE(waitForScene<TouLectureScene>());
    const auto requests = requestsNamed("getCourseList");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].field("gradeCode"), "0");
    ASSERT_TRUE(filed(0, "0305010101"));
    EXPECT_EQ(filed(0, "0305010101")->GradeCode, 1);
    EXPECT_FALSE(GDataManager::getInstance()->students.empty());
    support::stepFrames(2);
    EXPECT_EQ(HttpManager::getInstance()->getLoadingPanel(), nullptr);

    // "Picture Books" has grades.
    server.clearRecords();
    GDataManager::getInstance()->courseTypeCode = 2;
    enter(SubjectScene::create());
    chooseSubject(4);
    ASSERT_TRUE(waitForScene<TouGradeScene>());
    EXPECT_EQ(requestsNamed("getCourseList").size(), 2u);
    ASSERT_TRUE(filed(1, "0204010102"));
    EXPECT_TRUE(filed(2, "0204020101"));
}

TEST_F(SubjectSceneTest, AnUnknownPlayModeIsLoggedAndTheSceneStays) {
    logIn();
    setSubject(7, {1});
    auto* scene = SubjectScene::create();
    enter(scene);
    chooseSubject(1);
    ASSERT_TRUE(support::waitFor([&] { return logged("error course type : 7"); }));
    EXPECT_EQ(runningAs<SubjectScene>(), scene);
    EXPECT_EQ(HttpManager::getInstance()->getLoadingPanel(), nullptr);
}

TEST_F(SubjectSceneTest, ARefusedCourseListLeavesTheSceneUsable) {
    loadCatalogue();
    GDataManager::getInstance()->courseTypeCode = 1;
    auto* scene = SubjectScene::create();
    enter(scene);
    // A refusal, and replies that cannot be read (text, an array, too deep, too long): each ends the round.
    const std::pair<const char*, const char*> faults[] = {{"status5", "x"},
                                                          {"notjson", "The server sent a bad reply to getCourseList."},
                                                          {"array", "The server sent a bad reply to getCourseList."},
                                                          {"deep", "The server sent a bad reply to getCourseList."},
                                                          {"huge", "The server sent a bad reply to getCourseList."}};
    int failures = 0;
    for (const auto& [fault, tip] : faults) {
        SCOPED_TRACE(fault);
        HttpManager::getInstance()->baseUrl = server.origin() + "/fault/" + fault + "/";
        chooseSubject(1);
        ASSERT_TRUE(support::waitFor([&] { return !tipText().empty(); }));
        EXPECT_EQ(tipText(), tip);
        // The round's other requests are dropped, unheard.
        ASSERT_TRUE(support::waitFor([] { return !HttpManager::getInstance()->isAwaitingReply("getCourseList"); }));
        EXPECT_EQ(countLogged("getCourseList failed"), ++failures);
        EXPECT_EQ(HttpManager::getInstance()->getLoadingPanel(), nullptr);
        EXPECT_EQ(scene->getPendingReplies(), 0);
        EXPECT_EQ(runningAs<SubjectScene>(), scene);

        // One tip for the round; once closed, the teacher can try again or go back.
        ASSERT_TRUE(click("Button1"));
        support::stepFrames(2);
        EXPECT_EQ(tipText(), "");
    }
    HttpManager::getInstance()->baseUrl = server.baseUrl();
    chooseSubject(2);
    ASSERT_TRUE(waitForScene<GradeScene>());
    EXPECT_EQ(CoursewareManager::getInstance()->lists[1].size(), 2u);
    // The grade scene's animations load behind a layer that takes the touches.
    ASSERT_TRUE(support::waitFor([] { return findByName("Img_LoadingBg") == nullptr; }));
    ASSERT_TRUE(click("Btn_Return"));
    ASSERT_TRUE(waitForScene<SubjectScene>());
    ASSERT_TRUE(click("Btn_Return"));
    EXPECT_TRUE(waitForScene<CourseScene>());
}

// Lecture codes "abc", 1.5, 99999999999 and a "text1" of letters would all read as lecture 0.
TEST_F(SubjectSceneTest, LecturesWhoseCodesAreNoIntegersAreNeverDownloaded) {
    loadCatalogue();
    GDataManager::getInstance()->courseTypeCode = 1;
    enter(SubjectScene::create());
    HttpManager::getInstance()->baseUrl = server.origin() + "/fault/badcodes/on/getCourseList/";
    chooseSubject(2);
    ASSERT_TRUE(waitForScene<GradeScene>());
    CoursewareManager* courseware = CoursewareManager::getInstance();
    ASSERT_EQ(courseware->lists[1].size(), 4u);
    for (const CoursewareData& record : courseware->lists[1]) {
        EXPECT_FALSE(courseware->addDownloadTask({record.Identify, record.Url, "", ""})) << record.Identify;
    }
}

TEST_F(SubjectSceneTest, TheHungRequestsOfAFailedChoiceDoNotHoldUpTheNextOne) {
    loadCatalogue();
    GDataManager::getInstance()->courseTypeCode = 1;
    enter(SubjectScene::create());
    // Grade 1's request fails at once and ends the round; those of grades 2 and 3 would hang.
    HttpManager::getInstance()->baseUrl = server.origin() + "/fault/stall/";
    chooseSubject(1);
    ASSERT_TRUE(support::waitFor([&] { return !tipText().empty(); }));
    // Grade 2's transfer is stopped and grade 3's never sent, before anything else is pressed.
    ASSERT_TRUE(support::waitFor([] { return !HttpManager::getInstance()->isAwaitingReply("getCourseList"); }));
    ASSERT_TRUE(click("Button1"));
    HttpManager::getInstance()->baseUrl = server.baseUrl();
    chooseSubject(2);
    ASSERT_TRUE(waitForScene<GradeScene>());
    EXPECT_EQ(CoursewareManager::getInstance()->lists[1].size(), 2u);
    const auto sent = requestsNamed("getCourseList");
    // Grade 1's, and grade 2's unless it was stopped before it reached the server; never grade 3's.
    const auto sentOfGrade = [&sent](const char* grade) {
        return std::count_if(sent.begin(), sent.end(), [grade](const auto& r) {
            return r.field("subjectCode") == "1" && r.field("gradeCode") == grade;
        });
    };
    EXPECT_EQ(sentOfGrade("1"), 1);
    EXPECT_LE(sentOfGrade("2"), 1);
    EXPECT_EQ(sentOfGrade("3"), 0);
    EXPECT_EQ(countLogged("getCourseList dropped"), 2);
    ASSERT_TRUE(httplib::Client(server.origin()).Get("/fault/release"));
}

TEST_F(SubjectSceneTest, WaitsForEveryReplyAndReadsEachWithCare) {
    navigation::ScriptedServer scripted;
    HttpManager::getInstance()->baseUrl = scripted.baseUrl();
    setSubject(1, {1, 2, 3});
    auto* scene = SubjectScene::create();
    enter(scene);
    chooseSubject(1);
    EXPECT_EQ(scene->getPendingReplies(), 3);

    // "text1" gives the codes of the identify code; the record stays in the list of its "grade".
    scripted.answer(R"([{"id":1,"type":1,"subject":1,"grade":1,"phase":9,"lesson":9,"text1":"2105"}])");
    ASSERT_TRUE(support::stepUntil([&] { return loggedResponses() == 1; }));
    support::stepFrames(2);
    EXPECT_EQ(runningAs<SubjectScene>(), scene);
    EXPECT_EQ(scene->getPendingReplies(), 2);
    ASSERT_TRUE(filed(1, "0101020105"));
    EXPECT_EQ(filed(1, "0101020105")->StageCode, 1);
    EXPECT_EQ(filed(1, "0101020105")->state, 5);

    // A "data" that is no array files nothing but still counts.
    scripted.answer(R"({"grade":2})");
    ASSERT_TRUE(support::waitFor([&] { return loggedResponses() == 2; }));
    support::stepFrames(2);
    EXPECT_EQ(runningAs<SubjectScene>(), scene);
    EXPECT_EQ(scene->getPendingReplies(), 1);
    EXPECT_EQ(CoursewareManager::getInstance()->lists.size(), 1u);

    // A "text1" too short for its codes reads the missing ones as 0.
    scripted.answer(R"([{"id":2,"type":1,"subject":1,"grade":3,"phase":4,"lesson":5,"text1":"3"}])");
    ASSERT_TRUE(waitForScene<GradeScene>());
    ASSERT_TRUE(filed(3, "0101030000"));
}

// The scene going, or another choice once the panel went with another sender's reply, ends the round: its
// requests are dropped, the one held no longer takes the connection, and nothing of them is filed.
TEST_F(SubjectSceneTest, WhatEndsARoundDropsItsRequests) {
    const std::function<void()> ends[] = {[] { engine::Director::getInstance()->replaceScene(CourseScene::create()); },
                                          [this] {
                                              HttpManager::getInstance()->removeLoading();
                                              chooseSubject(2);
                                          }};
    for (const auto& end : ends) {
        navigation::ScriptedServer scripted;
        HttpManager::getInstance()->baseUrl = scripted.baseUrl();
        setSubject(1, {1, 2}, 1);
        enter(SubjectScene::create());
        const int dropped = countLogged("getCourseList dropped");
        chooseSubject(1);
        ASSERT_TRUE(support::waitFor([&] { return scripted.received() == 1; }));
        end();
        ASSERT_TRUE(support::waitFor([&] { return countLogged("getCourseList dropped") == dropped + 2; }));
        EXPECT_TRUE(CoursewareManager::getInstance()->lists.empty());
    }
}

} // namespace
