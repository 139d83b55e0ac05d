#include <gtest/gtest.h>

#include "CommonTestSupport.h"
#include "common/GDataManager.h"

using commontest::freshGlobalData;
using engine::Value;

namespace {

// Course type 3 holding subject 5 (play mode 2) with grade 7.
void fillCatalogue(GDataManager* data) {
    GradeRecord grade;
    grade.gradeCode = 7;
    grade.gradeName = "Grade 7";
    SubjectRecord subject;
    subject.subjectCode = 5;
    subject.playMode = 2;
    subject.grades[7] = grade;
    CourseTypeRecord type;
    type.typeName = "Basics";
    type.subjects[5] = subject;
    data->courseTypes[3] = type;
}

TEST(GlobalDataCatalogue, LookupsFollowTheCurrentChoiceAndMissDefaults) {
    GDataManager* data = freshGlobalData();
    EXPECT_TRUE(data->getCourseType(0).subjects.empty());

    fillCatalogue(data);
    data->courseTypeCode = 3;
    data->subjectCode = 5;
    data->gradeCode = 7;
    EXPECT_EQ(data->getCourseType(0).typeName, "Basics");
    EXPECT_EQ(data->getSubject(0, 0).playMode, 2);
    EXPECT_EQ(data->getGrade().gradeName, "Grade 7");

    data->subjectCode = 9; // not held by type 3
    EXPECT_EQ(data->getSubject(0, 0).playMode, 0);
    EXPECT_TRUE(data->getSubject(0, 0).grades.empty());
    EXPECT_EQ(data->getSubject(4, 5).playMode, 0);
    EXPECT_EQ(data->getGrade().gradeCode, 0);
    EXPECT_EQ(data->courseTypes.size(), 1u); // lookups never insert
    EXPECT_EQ(data->courseTypes[3].subjects.size(), 1u);
}

TEST(GlobalDataCatalogue, ChangingACopyLeavesTheStoreAlone) {
    GDataManager* data = freshGlobalData();
    fillCatalogue(data);
    data->students.push_back(commontest::pupil(4, 10, 20));

    CourseTypeRecord type = data->getCourseType(3);
    type.subjects[5].grades.clear();
    StudentRecord first = data->getStudent(0);
    first.score = 99;

    EXPECT_EQ(data->courseTypes[3].subjects[5].grades.size(), 1u);
    EXPECT_EQ(data->students[0].score, 0);
}

TEST(GlobalDataStudentRange, IndexesOutsideTheListGiveADefaultPupil) {
    GDataManager* data = freshGlobalData();
    StudentRecord lily = commontest::pupil(11, 3, 4);
    lily.name = "Lily";
    lily.isSign = true;
    data->students = {lily, commontest::pupil(12, 0, 0)};

    EXPECT_EQ(data->getStudent(0).name, "Lily");
    EXPECT_EQ(data->getStudent(1).id, 12);
    for (int index : {2, -1, 1000}) {
        StudentRecord none = data->getStudent(index);
        EXPECT_EQ(none.id, 0) << index;
        EXPECT_EQ(none.gameScore, 0);
        EXPECT_TRUE(none.name.empty());
        EXPECT_FALSE(none.isSign);
    }
}

class GlobalDataStudentPlist : public ::testing::Test {
protected:
    void writeStudents(const engine::ValueVector& list) {
        resources.writePlist("Student.plist", engine::ValueMap{{"Students", Value(list)}});
    }
    static Value student(const std::string& name, int sex) {
        return Value(engine::ValueMap{{"Name", Value(name)}, {"Sex", Value(sex)}, {"HeadImage", Value("H.png")}});
    }

    commontest::ScratchResources resources;
};

TEST_F(GlobalDataStudentPlist, PupilsAreNumberedInListOrderAndReplacedOnReload) {
    writeStudents({student("Lily", 2), student("Max", 1), student("Noah", 1)});
    GDataManager* data = freshGlobalData();
    data->students.push_back(commontest::pupil(77, 0, 0));

    data->loadStudentsFromPlist();
    data->loadStudentsFromPlist();

    ASSERT_EQ(data->students.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(data->students[i].id, i);
        EXPECT_EQ(data->students[i].listIndex, i);
        EXPECT_EQ(data->students[i].number, i + 1);
    }
    EXPECT_EQ(data->students[0].name, "Lily");
    EXPECT_EQ(data->students[0].sex, 2);
    EXPECT_EQ(data->students[2].headImage, "H.png");
}

TEST_F(GlobalDataStudentPlist, MissingFileEmptiesTheList) {
    GDataManager* data = freshGlobalData();
    data->students.push_back(commontest::pupil(1, 0, 0));
    data->loadStudentsFromPlist();
    EXPECT_TRUE(data->students.empty());
}

TEST_F(GlobalDataStudentPlist, ElementThatIsNotAMapGivesAnEmptyPupilInItsPlace) {
    writeStudents({Value("Lily"), student("Max", 1)});
    commontest::LogCapture log;
    GDataManager* data = freshGlobalData();
    data->loadStudentsFromPlist();
    ASSERT_EQ(data->students.size(), 2u);
    EXPECT_TRUE(data->students[0].name.empty());
    EXPECT_EQ(data->students[1].name, "Max");
    EXPECT_EQ(data->students[1].number, 2);
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(GlobalDataLessonPlayer, ClearedOnlyByTheSceneItPointsAt) {
    GDataManager* data = freshGlobalData();
    int oldScene = 0;
    int newScene = 0;
    data->logicTopicScene = reinterpret_cast<LogicTopicScene*>(&newScene);

    data->clearLogicTopicScene(&oldScene);
    data->clearLogicTopicScene(nullptr);
    EXPECT_EQ(data->logicTopicScene, reinterpret_cast<LogicTopicScene*>(&newScene));
    data->clearLogicTopicScene(&newScene);
    EXPECT_EQ(data->logicTopicScene, nullptr);
}

} // namespace
