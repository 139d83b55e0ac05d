#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <rapidjson/document.h>

#include "NavigationFixture.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "layout/CSLoader.h"
#include "net/CoursewareManager.h"
#include "net/HttpManager.h"
#include "scenes/ClassScene.h"
#include "scenes/GradeScene.h"
#include "scenes/LectureScene.h"
#include "scenes/ResourceScene.h"
#include "scenes/SubjectScene.h"
#include "ui/Button.h"
#include "ui/Text.h"

namespace {

using navigation::textOf;
using support::click;
using support::findByName;

// Course type 1, subject 1 (play mode 1) with these grades (code, enabled), chosen in the global data.
void setGrades(std::initializer_list<std::pair<int, int>> grades) {
    std::vector<GradeRecord> records;
    for (const auto& [code, enabled] : grades) {
        records.push_back(GradeRecord{enabled, code, "", {}});
    }
    navigation::chooseSubject(records);
}

CoursewareData lecture(const std::string& identify) {
    CoursewareData record;
    record.Identify = identify;
    return record;
}

engine::Color4B color(const char* hex) {
    return CommonTools::getInstance()->hexToColor4B(hex);
}

class GradeSceneTest : public navigation::NavigationTest {
protected:
    // Enters the grade scene and waits until its animations are loaded and playing.
    GradeScene* enterGradeScene() {
        auto* scene = GradeScene::create();
        enterLoaded(scene);
        support::stepFrames(10);
        return scene;
    }

    static engine::ui::Button* gradeButton(int grade) {
        return dynamic_cast<engine::ui::Button*>(findByName("Btn_Grade" + std::to_string(grade)));
    }
};

TEST_F(GradeSceneTest, LightsOnlyTheGradesOfTheSubject) {
    setGrades({{1, 1}, {3, 0}});
    GDataManager::getInstance()->classList.push_back(SchoolRecord{7, "Old", {{1, "Old class"}}});
    CoursewareManager::getInstance()->currentList.push_back(lecture("0101010101"));
    GradeScene* scene = enterGradeScene();
    EXPECT_TRUE(GDataManager::getInstance()->classList.empty());
    EXPECT_TRUE(CoursewareManager::getInstance()->currentList.empty());

    engine::Node* layout = engine::CSLoader::createNode("GradeScene.csb");
    ASSERT_NE(layout, nullptr);
    for (int grade : {1, 2, 3, 5, 6}) {
        ASSERT_NE(gradeButton(grade), nullptr) << grade;
    }
    EXPECT_EQ(gradeButton(1)->getTag(), 40001);
    EXPECT_TRUE(gradeButton(1)->isBright());
    EXPECT_EQ(gradeButton(3)->getTag(), 40003);
    EXPECT_FALSE(gradeButton(3)->isBright());
    for (int grade : {2, 5, 6}) {
        auto* asLaidOut = dynamic_cast<engine::ui::Button*>(findByName("Btn_Grade" + std::to_string(grade), layout));
        ASSERT_NE(asLaidOut, nullptr);
        EXPECT_EQ(gradeButton(grade)->getTag(), asLaidOut->getTag()) << grade;
        EXPECT_EQ(gradeButton(grade)->isBright(), asLaidOut->isBright()) << grade;
    }

    // A grade the subject does not offer does nothing.
    click(gradeButton(2));
    support::stepFrames(30);
    EXPECT_EQ(GDataManager::getInstance()->gradeCode, 0);
    EXPECT_EQ(runningAs<GradeScene>(), scene);
}

TEST_F(GradeSceneTest, AGradeWithoutAClassTipsAndAnotherMayBeChosen) {
    // A server whose only class is in grade 1.
    const std::string data = scratch.path() + "/server-data";
    std::filesystem::copy(courseware::CoursewareServer::defaultDataDir(), data,
                          std::filesystem::copy_options::recursive);
    std::ofstream(data + "/classes.json") << R"([{ "schoolId": 1, "schoolName": "Riverside Main", "children": [
        { "gradeCode": 1, "children": [{ "classId": 101, "className": "Class 1A" }] }] }])";
    courseware::CoursewareServer oneClass(data);
    ASSERT_GT(oneClass.start(), 0);
    HttpManager::getInstance()->baseUrl = oneClass.baseUrl();
    loadCatalogue();
    GDataManager::getInstance()->courseTypeCode = 1;
    GDataManager::getInstance()->subjectCode = 1;
    GradeScene* scene = enterGradeScene();
    click(gradeButton(2));
    ASSERT_TRUE(support::stepUntil([&] { return !tipText().empty(); }));
    EXPECT_EQ(tipText(), "No class has this grade.");
    EXPECT_EQ(GDataManager::getInstance()->gradeCode, 2);
    EXPECT_TRUE(GDataManager::getInstance()->classList.empty());
    EXPECT_TRUE(CoursewareManager::getInstance()->currentList.empty());
    EXPECT_EQ(runningAs<GradeScene>(), scene);
    ASSERT_TRUE(click("Button1"));
    support::stepFrames(2);
    click(gradeButton(1));
    EXPECT_TRUE(waitForScene<ClassScene>());
}

TEST_F(GradeSceneTest, AGradeTakesItsCoursewareAndClassesToTheClassScene) {
    loadCatalogue();
    GDataManager::getInstance()->courseTypeCode = 1;
    GDataManager::getInstance()->subjectCode = 1;
    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->lists[1] = {lecture("0101010101"), lecture("0101010102")};
    courseware->lists[5] = {lecture("0101050101")};
    enterGradeScene();
    support::saveScreenshot("grade");

    // A second grade clicked during the first one's press is ignored.
    click(gradeButton(1));
    click(gradeButton(5));
    ASSERT_TRUE(waitForScene<ClassScene>());
    EXPECT_EQ(GDataManager::getInstance()->gradeCode, 1);
    EXPECT_EQ(requestsNamed("getClassList").size(), 1u);
    EXPECT_TRUE(requestsNamed("getClassList").back().fields.empty());
    ASSERT_EQ(courseware->currentList.size(), 2u);
    EXPECT_EQ(courseware->currentList[1].Identify, "0101010102");

    const auto& schools = GDataManager::getInstance()->classList;
    ASSERT_EQ(schools.size(), 5u);
    EXPECT_EQ(schools[0].schoolName, "Riverside Main");
    ASSERT_EQ(schools[0].classes.size(), 5u);
    EXPECT_EQ(schools[0].classes[4].classId, 105);
    EXPECT_EQ(schools[4].schoolId, 5);
    ASSERT_EQ(schools[4].classes.size(), 1u);
    EXPECT_EQ(schools[4].classes[0].classId, 141);

    support::stepFrames(2);
    EXPECT_EQ(textOf("ListPageText"), "1/2");
    EXPECT_EQ(textOf("PageText"), "1/2");
    support::saveScreenshot("class");
}

TEST_F(GradeSceneTest, AGradeWaitingForItsClassesHoldsOffOthersWhateverThePanel) {
    loadCatalogue();
    GDataManager::getInstance()->courseTypeCode = 1;
    GDataManager::getInstance()->subjectCode = 1;
    GradeScene* scene = enterGradeScene();
    click(gradeButton(1));
    ASSERT_TRUE(support::waitFor([] { return HttpManager::getInstance()->isAwaitingReply("getClassList"); }));
    // Another request's reply may take the shared loading panel down meanwhile.
    HttpManager::getInstance()->removeLoading();
    scene->onGradeClicked(gradeButton(5));
    ASSERT_TRUE(waitForScene<ClassScene>());
    EXPECT_EQ(GDataManager::getInstance()->gradeCode, 1);
    EXPECT_EQ(requestsNamed("getClassList").size(), 1u);
}

TEST_F(GradeSceneTest, AFailedTransferLetsTheTeacherChooseAgain) {
    loadCatalogue();
    GDataManager::getInstance()->courseTypeCode = 1;
    GDataManager::getInstance()->subjectCode = 1;
    enterGradeScene();
    HttpManager::getInstance()->baseUrl = closedBaseUrl();
    click(gradeButton(1));
    ASSERT_TRUE(support::waitFor([&] { return !tipText().empty(); }));
    ASSERT_TRUE(click("Button1"));
    support::stepFrames(2);

    HttpManager::getInstance()->baseUrl = server.baseUrl();
    click(gradeButton(5));
    ASSERT_TRUE(waitForScene<ClassScene>());
    EXPECT_EQ(GDataManager::getInstance()->gradeCode, 5);
    ASSERT_EQ(GDataManager::getInstance()->classList.size(), 1u);
    EXPECT_EQ(GDataManager::getInstance()->classList[0].classes[0].classId, 501);
}

TEST_F(GradeSceneTest, TheClassTreeIsReadWithCare) {
    setGrades({{1, 1}});
    GradeScene* scene = enterGradeScene();
    GDataManager* data = GDataManager::getInstance();
    data->gradeCode = 1;
    rapidjson::Document reply;
    reply.Parse(R"([
        {"schoolId": 1, "schoolName": "A", "children": [
            {"gradeCode": 2, "children": [{"classId": 201, "className": "2A"}]},
            {"gradeCode": 1, "children": [{"classId": 11, "className": "1A"}, {"classId": 12, "className": "1B"}]}]},
        {"schoolId": 2, "schoolName": "B", "children": [{"gradeCode": 1, "children": []}]},
        {"schoolId": 3, "schoolName": "C", "children": "none"},
        {"schoolId": 4, "schoolName": "D", "children": [{"gradeCode": 1, "children": {"classId": 41}}]},
        "not a school",
        {"schoolId": 5, "schoolName": "E", "children": [{"gradeCode": 1, "children": [{"classId": 51}]}]}])");
    ASSERT_TRUE(reply.IsArray());
    scene->onClassListReply("getClassList", reply);
    // A second reply replaces the first one's schools.
    scene->onClassListReply("getClassList", reply);
    ASSERT_EQ(data->classList.size(), 2u);
    EXPECT_EQ(data->classList[0].schoolName, "A");
    ASSERT_EQ(data->classList[0].classes.size(), 2u);
    EXPECT_EQ(data->classList[0].classes[1].className, "1B");
    EXPECT_EQ(data->classList[1].schoolId, 5);
    ASSERT_EQ(data->classList[1].classes.size(), 1u);
    EXPECT_EQ(data->classList[1].classes[0].className, "");
    EXPECT_TRUE(logged("error json array: children"));
    EXPECT_TRUE(logged("error json item: data"));
    EXPECT_TRUE(waitForScene<ClassScene>());
}

TEST_F(GradeSceneTest, AGradeFoundWithoutClassesStillOpensTheClassScene) {
    setGrades({{1, 1}});
    GradeScene* scene = enterGradeScene();
    GDataManager::getInstance()->gradeCode = 1;
    rapidjson::Document reply;
    reply.Parse(R"([{"schoolId": 2, "schoolName": "B", "children": [{"gradeCode": 1, "children": []}]}])");
    scene->onClassListReply("getClassList", reply);
    ASSERT_TRUE(waitForScene<ClassScene>());
    EXPECT_TRUE(GDataManager::getInstance()->classList.empty());
    EXPECT_EQ(textOf("ListPageText"), "0/0");
    for (int slot = 1; slot <= 4; ++slot) {
        EXPECT_FALSE(findByName("SchoolBtn" + std::to_string(slot))->isVisible()) << slot;
    }
}

TEST_F(GradeSceneTest, ADataThatIsNoArrayShowsTheNoClassTip) {
    setGrades({{1, 1}});
    GradeScene* scene = enterGradeScene();
    GDataManager::getInstance()->gradeCode = 1;
    rapidjson::Document reply;
    reply.Parse(R"({"schoolId": 1})");
    scene->onClassListReply("getClassList", reply);
    support::stepFrames(3);
    EXPECT_EQ(tipText(), "No class has this grade.");
    EXPECT_EQ(runningAs<GradeScene>(), scene);
}

TEST_F(GradeSceneTest, ReturnAndResourceButtons) {
    setGrades({{1, 1}});
    enterGradeScene();
    ASSERT_TRUE(click("ResManageBtn"));
    EXPECT_TRUE(waitForScene<ResourceScene>());
    enterGradeScene();
    ASSERT_TRUE(click("Btn_Return"));
    EXPECT_TRUE(waitForScene<SubjectScene>());
}

class ClassSceneTest : public navigation::NavigationTest {
protected:
    // Five schools (ids 1..5); the first has six classes (ids 11..16), the others one each.
    static void setSchools() {
        auto& schools = GDataManager::getInstance()->classList;
        schools.clear();
        for (int id = 1; id <= 5; ++id) {
            SchoolRecord school{id, "School " + std::to_string(id), {}};
            const int classes = id == 1 ? 6 : 1;
            for (int n = 1; n <= classes; ++n) {
                school.classes.push_back({id * 10 + n, "Class " + std::to_string(id * 10 + n)});
            }
            schools.push_back(school);
        }
    }

    static engine::ui::Widget* slot(const char* prefix, int n) {
        return dynamic_cast<engine::ui::Widget*>(findByName(prefix + std::to_string(n)));
    }

    static engine::Color4B textColor(const std::string& name, engine::Node* root) {
        auto* text = dynamic_cast<engine::ui::Text*>(findByName(name, root));
        return text ? text->getTextColor() : engine::Color4B(0, 0, 0, 0);
    }
};

TEST_F(ClassSceneTest, PagesTheSchoolsAndTheClassesOfTheChosenSchool) {
    setSchools();
    auto* scene = ClassScene::create();
    enter(scene);
    for (int n = 1; n <= 4; ++n) {
        ASSERT_NE(slot("SchoolBtn", n), nullptr);
        ASSERT_NE(slot("ClassImg", n), nullptr);
    }
    EXPECT_EQ(scene->getSelectedSchoolId(), 1);
    EXPECT_EQ(textOf("ListPageText"), "1/2");
    EXPECT_TRUE(slot("SchoolBtn", 1)->isHighlighted());
    EXPECT_EQ(textColor("TitleText", slot("SchoolBtn", 1)), color("f94f0d"));
    EXPECT_EQ(textColor("TitleText", slot("SchoolBtn", 2)), color("3aa3e6"));
    EXPECT_EQ(textOf("TitleText", slot("SchoolBtn", 4)), "School 4");

    const char* colors[] = {"6c9b2b", "3787c7", "d36169", "616bcc"};
    EXPECT_EQ(textOf("PageText"), "1/2");
    for (int n = 1; n <= 4; ++n) {
        EXPECT_TRUE(slot("ClassImg", n)->isVisible());
        EXPECT_EQ(slot("ClassImg", n)->getTag(), 10 + n);
        EXPECT_EQ(textColor("ClassName", slot("ClassImg", n)), color(colors[n - 1]));
    }

    // Classes page 2 holds two, in the first two colours; paging on past the end clamps.
    ASSERT_TRUE(click("BtnRight"));
    ASSERT_TRUE(click("BtnRight"));
    EXPECT_EQ(scene->getClassPage(), 2);
    EXPECT_EQ(textOf("PageText"), "2/2");
    EXPECT_EQ(textOf("ClassName", slot("ClassImg", 2)), "Class 16");
    EXPECT_EQ(textColor("ClassName", slot("ClassImg", 2)), color(colors[1]));
    EXPECT_FALSE(slot("ClassImg", 3)->isVisible());
    EXPECT_FALSE(slot("ClassImg", 4)->isVisible());

    // Schools page 2 holds one; the chosen school and its classes stay.
    ASSERT_TRUE(click("BtnDown"));
    ASSERT_TRUE(click("BtnDown"));
    EXPECT_EQ(scene->getSchoolPage(), 2);
    EXPECT_EQ(textOf("ListPageText"), "2/2");
    EXPECT_TRUE(slot("SchoolBtn", 1)->isVisible());
    EXPECT_FALSE(slot("SchoolBtn", 1)->isHighlighted());
    EXPECT_FALSE(slot("SchoolBtn", 2)->isVisible());
    EXPECT_EQ(scene->getSelectedSchoolId(), 1);
    EXPECT_EQ(textOf("PageText"), "2/2");

    // Choosing another school shows its classes from their first page.
    click(slot("SchoolBtn", 1));
    EXPECT_EQ(scene->getSelectedSchoolId(), 5);
    EXPECT_TRUE(slot("SchoolBtn", 1)->isHighlighted());
    EXPECT_EQ(textOf("PageText"), "1/1");
    EXPECT_EQ(textOf("ClassName", slot("ClassImg", 1)), "Class 51");
    EXPECT_FALSE(slot("ClassImg", 2)->isVisible());
    ASSERT_TRUE(click("BtnUp"));
    ASSERT_TRUE(click("BtnUp"));
    EXPECT_EQ(textOf("ListPageText"), "1/2");
}

TEST_F(ClassSceneTest, ChoosingAClassOpensItsLectures) {
    setSchools();
    auto* scene = ClassScene::create();
    enter(scene);
    ASSERT_NE(slot("ClassImg", 3), nullptr);
    click(slot("ClassImg", 3));
    EXPECT_TRUE(findByName("SelectImg", slot("ClassImg", 3))->isVisible());
    ASSERT_TRUE(waitForScene<LectureScene>());
    EXPECT_EQ(GDataManager::getInstance()->classIdSelected, 13);
}

TEST_F(ClassSceneTest, NoSchoolsLeaveTheClassSlotsAsLaidOut) {
    GDataManager::getInstance()->classList.clear();
    enter(ClassScene::create());
    EXPECT_EQ(textOf("ListPageText"), "0/0");
    engine::Node* layout = engine::CSLoader::createNode("ClassScene.csb");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(textOf("PageText"), textOf("PageText", layout));
    for (int n = 1; n <= 4; ++n) {
        EXPECT_FALSE(slot("SchoolBtn", n)->isVisible());
        EXPECT_EQ(slot("ClassImg", n)->isVisible(), findByName("ClassImg" + std::to_string(n), layout)->isVisible());
    }
    ASSERT_TRUE(click("BtnDown"));
    EXPECT_EQ(textOf("ListPageText"), "0/0");
}

TEST_F(ClassSceneTest, ReturnLeadsToTheGradeScene) {
    setSchools();
    enter(ClassScene::create());
    ASSERT_TRUE(click("Btn_Return"));
    EXPECT_TRUE(waitForScene<GradeScene>());
}

} // namespace
