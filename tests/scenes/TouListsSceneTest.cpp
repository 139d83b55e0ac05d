// The grade and lecture lists of play modes 2 to 4.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "NavigationFixture.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "games/SimpleGameManager.h"
#include "net/CoursewareManager.h"
#include "scenes/SubjectScene.h"
#include "scenes/TouGradeScene.h"
#include "scenes/TouLectureScene.h"
#include "scenes/TouTopicScene.h"
#include "ui/CheckBox.h"
#include "ui/Slider.h"

namespace {

using engine::Node;
using engine::Vec2;
using navigation::lecture;
using navigation::shown;
using navigation::textOf;
using support::click;
using support::findByName;

// Course type 1, subject 1 of that play mode with those grades (the first one disabled), chosen with grade 1.
void chooseSubject(int playMode, const std::vector<int>& grades) {
    std::vector<GradeRecord> records;
    for (int code : grades) {
        records.push_back(GradeRecord{code == grades.front() ? 0 : 1, code, "", {}});
    }
    navigation::chooseSubject(records);
    GDataManager::getInstance()->courseTypes[1].subjects[1].playMode = playMode;
    GDataManager::getInstance()->gradeCode = 1;
}

CoursewareList lectures(int count, int state = 1) {
    CoursewareList list;
    for (int n = 1; n <= count; ++n) {
        list.push_back(lecture(1, n, state));
        // Named, so the screenshots show finished cards.
        list.back().LectureName = "Lecture " + std::to_string(n);
    }
    return list;
}

bool isChecked(Node* button) {
    return dynamic_cast<engine::ui::CheckBox*>(findByName("cb_State", button))->isSelected();
}

class TouListsTest : public navigation::NavigationTest {
protected:
    TouLectureScene* enterLectures(const CoursewareList& list) {
        CoursewareManager::getInstance()->lists = {{GDataManager::getInstance()->gradeCode, list}};
        auto* scene = TouLectureScene::create();
        enter(scene);
        return scene;
    }

    // The lecture buttons of the page shown, in slot order.
    static std::vector<Node*> lectureButtons() {
        std::vector<Node*> buttons;
        for (Node* item : findByName("Panel_Layout")->getChildren()) {
            buttons.push_back(findByName("Btn_TouLecture", item));
        }
        return buttons;
    }
};

TEST_F(TouListsTest, GradeListPlacesEveryGradeAndOpensItsLectures) {
    // The screenshot shows the six grades there are pictures for.
    chooseSubject(3, {1, 2, 3, 4, 5, 6});
    enter(TouGradeScene::create());
    support::saveScreenshot("tou_grade");
    EXPECT_EQ(courseButtons().size(), 6u);
    chooseSubject(3, {1, 2, 3, 4, 5, 6, 7});
    GDataManager::getInstance()->phaseCode = 2;
    enter(TouGradeScene::create());
    EXPECT_EQ(GDataManager::getInstance()->phaseCode, 0);
    // Three columns on the 960 x 480 panel; the seventh grade falls below it; a disabled grade is shown too.
    const std::vector<Node*> buttons = courseButtons();
    ASSERT_EQ(buttons.size(), 7u);
    EXPECT_EQ(buttons[0]->getPosition(), Vec2(160, 360));
    EXPECT_EQ(buttons[4]->getPosition(), Vec2(480, 120));
    EXPECT_EQ(buttons[6]->getPosition(), Vec2(160, -120));
    EXPECT_TRUE(dynamic_cast<engine::ui::Widget*>(buttons[0])->isBright());
    click(buttons[1]);
    ASSERT_TRUE(waitForScene<TouLectureScene>());
    EXPECT_EQ(GDataManager::getInstance()->gradeCode, 2);
}

TEST_F(TouListsTest, BothListsKeepTheirReturnAtTheTopOfATallerWindow) {
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    chooseSubject(4, {1, 2});
    enter(TouGradeScene::create());
    support::saveScreenshot("tou_grade_tall");
    Node* back = findByName("Btn_Return");
    EXPECT_FLOAT_EQ(back->convertToWorldSpace(Vec2::ZERO).y + back->getContentSize().height, 960.f);
    enterLectures(lectures(6));
    support::saveScreenshot("tou_lecture_tall");
    EXPECT_FLOAT_EQ(support::worldCenter(lectureButtons()[0]).y, 96.f + 360.f + 120.f);
    ASSERT_TRUE(click("Btn_Return"));
    ASSERT_TRUE(waitForScene<SubjectScene>());
}

TEST_F(TouListsTest, LecturesComeEightToAPageWithTheirStatesAndProgress) {
    chooseSubject(3, {1});
    CoursewareList list = lectures(13);
    list[1].state = 4;
    list[2].state = 2;
    TouLectureScene* scene = enterLectures(list);
    support::saveScreenshot("tou_lecture");
    const std::vector<Node*> first = lectureButtons();
    EXPECT_EQ(first[7]->getPosition(), Vec2(980, 120));
    EXPECT_TRUE(shown("Img_Update", first[1]) && !shown("Slider_Progress", first[1]));
    EXPECT_TRUE(shown("Slider_Progress", first[2]) && !shown("Img_Update", first[2]));
    EXPECT_FALSE(isChecked(first[0]));
    // Progress shows on its own page only; 0 expected bytes shows 0 %.
    auto* slider = dynamic_cast<engine::ui::Slider*>(findByName("Slider_Progress", first[2]));
    scene->onDownloadProgress(list[2].Identify, 512, 2048);
    EXPECT_EQ(slider->getPercent(), 25);
    support::saveScreenshot("tou_lecture_progress");
    scene->onDownloadProgress(list[2].Identify, 512, 0);
    EXPECT_EQ(slider->getPercent(), 0);
    scene->onDownloadFinished("", list[2].Identify);
    EXPECT_TRUE(isChecked(first[2]) && !slider->isVisible());
    scene->onDownloadFinished("", list[12].Identify);
    EXPECT_EQ(scene->findLectureButton(12), nullptr);

    const struct {
        const char* button;
        std::string page;
        size_t count;
    } steps[] = {{"Btn_Prev", "1/2", 8}, {"Btn_Next", "2/2", 5}, {"Btn_Next", "2/2", 5}};
    for (const auto& step : steps) {
        click(step.button);
        support::stepFrames(2);
        EXPECT_EQ(textOf("Text_Page"), step.page);
        EXPECT_EQ(lectureButtons().size(), step.count);
    }
    EXPECT_EQ(lectureButtons().back()->getTag(), 70012);

    enterLectures({});
    EXPECT_EQ(textOf("Text_Page"), "1/0");
    EXPECT_TRUE(lectureButtons().empty());
}

TEST_F(TouListsTest, AClickActsByThePackageState) {
    chooseSubject(3, {1});
    CoursewareList list = lectures(4, 5);
    list[0].state = 2;
    list[1].Url.clear();
    list[3].state = 4;
    list[3].Version = "1.0.0";
    enterLectures(list);
    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->queue.push_back({list[0].Identify, list[0].Url, "", ""});
    PlistManager* texts = PlistManager::getInstance();
    const std::string tips[] = {texts->getText("LectureStr5"), texts->getText("LectureStr6"), "",
                                texts->getText("LectureStr3")};
    for (size_t k = 0; k < 4; ++k) {
        click(lectureButtons()[k]);
        support::stepFrames(2);
        EXPECT_EQ(tipText(), tips[k]) << k;
        EXPECT_EQ(GDataManager::getInstance()->lessonNumber, static_cast<int>(k) + 1);
        if (!tips[k].empty()) {
            click("Button1");
            support::stepFrames(2);
        }
    }
    // Only the missing package with an address was queued, once. The queue's order is not checked: the first
    // package's failed download (nothing listens at its address) goes to the back whenever it ends.
    ASSERT_EQ(courseware->queue.size(), 2u);
    EXPECT_EQ(std::count_if(courseware->queue.begin(), courseware->queue.end(),
                            [&](const DownloadRecord& r) { return r.key == list[2].Identify; }),
              1);
    EXPECT_EQ(courseware->currentList[2].state, 2);
    EXPECT_TRUE(shown("Slider_Progress", lectureButtons()[2]));
}

TEST_F(TouListsTest, TheLessonCodeChoosesGradeStageAndLecture) {
    // An unknown play mode is only logged, so each click only sets the choice.
    chooseSubject(9, {1});
    const struct {
        std::string text1;
        std::vector<int> choice;
    } codes[] = {{"1203", {1, 2, 3}}, {"12", {1, 2, 0}}, {"1", {1, 0, 0}}, {"", {2, 3, 4}}};
    CoursewareList list(4, lecture(3, 4));
    for (size_t k = 0; k < list.size(); ++k) {
        list[k].GradeCode = 2;
        list[k].text1 = codes[k].text1;
    }
    enterLectures(list);
    GDataManager* data = GDataManager::getInstance();
    for (size_t k = 0; k < list.size(); ++k) {
        click(lectureButtons()[k]);
        support::stepFrames(1);
        EXPECT_EQ(std::vector<int>({data->gradeCode, data->phaseCode, data->lessonNumber}), codes[k].choice)
            << "\"" << codes[k].text1 << "\"";
    }
    EXPECT_EQ(countLogged("error subject playmodel : 9"), 4);
}

TEST_F(TouListsTest, ASubjectWithoutGradesListsAllItsLecturesByGrade) {
    chooseSubject(3, {});
    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->lists = {{2, {lecture(1, 2)}}, {1, {lecture(1, 1)}}};
    courseware->currentList = {lecture(4, 4)};
    // Grade 0 on the first entry; back from a lesson, the grade of the lecture played.
    for (int gradeCode : {0, 2}) {
        GDataManager::getInstance()->gradeCode = gradeCode;
        enter(TouLectureScene::create());
        ASSERT_EQ(courseware->currentList.size(), 2u) << gradeCode;
        EXPECT_EQ(courseware->currentList[0].LectureCode, 1);
        EXPECT_EQ(courseware->currentList[1].LectureCode, 2);
    }
}

TEST_F(TouListsTest, APictureBookOpensItsQuestionPagesAndComesBack) {
    logIn();
    chooseSubject(2, {1});
    GDataManager* data = GDataManager::getInstance();
    data->courseTypes = {{2, data->courseTypes[1]}};
    data->courseTypes[2].subjects[4] = data->courseTypes[2].subjects[1];
    data->courseTypeCode = 2;
    data->subjectCode = 4;
    CoursewareList list = lectures(2);
    list[1].text1 = "1101";
    enterLectures(list);
    click(lectureButtons()[1]);
    ASSERT_TRUE(waitForScene<TouTopicScene>());
    const courseware::FormFields fields = {
        {"gradeCode", "1"}, {"lesson", "1"}, {"phaseCode", "1"}, {"subjectCode", "4"}, {"typeCode", "2"}};
    EXPECT_EQ(requestsNamed("getCourseQuestionList")[0].fields, fields);
    EXPECT_EQ(SimpleGameManager::getInstance()->getItems().size(), 3u);
    ASSERT_TRUE(waitFor([] { return !findByName("Img_LoadingBg"); }));
    ASSERT_TRUE(click("Btn_Return"));
    ASSERT_TRUE(waitForScene<TouLectureScene>());
}

} // namespace
