#include <gtest/gtest.h>

#include "CommonTestSupport.h"
#include "common/GDataManager.h"

using commontest::freshGlobalData;

namespace {

// One course type 3 with subject 5 (play mode 2), grade 7 and phase 1.
void fillCatalogue(GDataManager* data) {
    PhaseRecord phase;
    phase.phaseCode = 1;
    phase.phaseName = "Term 1";
    GradeRecord grade;
    grade.gradeCode = 7;
    grade.gradeName = "Grade 7";
    grade.phases[1] = phase;
    SubjectRecord subject;
    subject.subjectCode = 5;
    subject.playMode = 2;
    subject.subjectName = "Maths";
    subject.grades[7] = grade;
    CourseTypeRecord type;
    type.typeCode = 3;
    type.typeName = "Basics";
    type.subjects[5] = subject;
    data->courseTypes[3] = type;
}

TEST(GlobalDataDefaults, InitGivesTheStartValues) {
    GDataManager* data = freshGlobalData();
    EXPECT_EQ(data->runMode, 2);
    EXPECT_EQ(data->courseTypeCode, 0);
    EXPECT_EQ(data->subjectCode, 0);
    EXPECT_EQ(data->gradeCode, 0);
    EXPECT_EQ(data->phaseCode, 0);
    EXPECT_EQ(data->lessonNumber, 0);
    EXPECT_EQ(data->groupCount, 0);
    EXPECT_EQ(data->enteredFrom, 0);
    EXPECT_EQ(data->logicTopicScene, nullptr);
    EXPECT_FLOAT_EQ(data->voiceVolume, 1.f);
    EXPECT_FLOAT_EQ(data->musicVolume, 1.f);
    EXPECT_EQ(GDataManager::getInstance(), data);
}

TEST(GlobalDataCatalogue, MissingCodesGiveDefaultRecords) {
    GDataManager* data = freshGlobalData();
    CourseTypeRecord type = data->getCourseType(0);
    EXPECT_EQ(type.typeCode, 0);
    EXPECT_TRUE(type.typeName.empty());
    EXPECT_TRUE(type.subjects.empty());

    fillCatalogue(data);
    data->courseTypeCode = 3;
    data->subjectCode = 9; // not held by type 3
    SubjectRecord subject = data->getSubject(0, 0);
    EXPECT_EQ(subject.playMode, 0);
    EXPECT_TRUE(subject.grades.empty());
    EXPECT_EQ(data->getSubject(4, 5).playMode, 0);
    EXPECT_EQ(data->getGrade().gradeCode, 0);
    EXPECT_EQ(data->courseTypes.size(), 1u); // lookups never insert
    EXPECT_EQ(data->courseTypes[3].subjects.size(), 1u);
}

TEST(GlobalDataCatalogue, ZeroStandsForTheCurrentChoice) {
    GDataManager* data = freshGlobalData();
    fillCatalogue(data);
    data->courseTypeCode = 3;
    data->subjectCode = 5;
    data->gradeCode = 7;
    EXPECT_EQ(data->getCourseType(0).typeName, "Basics");
    EXPECT_EQ(data->getSubject(0, 0).playMode, 2);
    EXPECT_EQ(data->getSubject(3, 5).subjectName, "Maths");
    GradeRecord grade = data->getGrade();
    EXPECT_EQ(grade.gradeName, "Grade 7");
    ASSERT_EQ(grade.phases.count(1), 1u);
    EXPECT_EQ(grade.phases[1].phaseName, "Term 1");
}

TEST(GlobalDataCopies, ChangingACopyLeavesTheStoreAlone) {
    GDataManager* data = freshGlobalData();
    fillCatalogue(data);
    data->students.push_back(commontest::pupil(4, 10, 20));

    CourseTypeRecord type = data->getCourseType(3);
    type.typeName = "Changed";
    type.subjects[5].grades.clear();
    StudentRecord first = data->getStudent(0);
    first.score = 99;
    std::vector<StudentRecord> all = data->getStudents();
    all[0].name = "Changed";

    EXPECT_EQ(data->courseTypes[3].typeName, "Basics");
    EXPECT_EQ(data->courseTypes[3].subjects[5].grades.size(), 1u);
    EXPECT_EQ(data->students[0].score, 0);
    EXPECT_TRUE(data->students[0].name.empty());
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
        EXPECT_EQ(none.gameTime, 0);
        EXPECT_TRUE(none.name.empty());
        EXPECT_FALSE(none.isSign);
    }
}

class GlobalDataStudentPlist : public ::testing::Test {
protected:
    commontest::ScratchResources resources;

    void writeStudents(const engine::ValueVector& list) {
        resources.writePlist("Student.plist", engine::ValueMap{{"Students", engine::Value(list)}});
    }
    static engine::Value student(const std::string& name, int sex, const std::string& head) {
        return engine::Value(engine::ValueMap{
            {"Name", engine::Value(name)}, {"Sex", engine::Value(sex)}, {"HeadImage", engine::Value(head)}});
    }
};

TEST_F(GlobalDataStudentPlist, PupilsAreNumberedInListOrderAndReplacedOnReload) {
    writeStudents(
        {student("Lily", 2, "HeadImg2.png"), student("Max", 1, "HeadImg1.png"), student("Noah", 1, "HeadImg1.png")});
    GDataManager* data = freshGlobalData();
    data->students.push_back(commontest::pupil(77, 0, 0));

    data->loadStudentsFromPlist();
    data->loadStudentsFromPlist();

    ASSERT_EQ(data->students.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(data->students[i].id, i);
        EXPECT_EQ(data->students[i].listIndex, i);
        EXPECT_EQ(data->students[i].number, i + 1);
        EXPECT_EQ(data->students[i].group, 0);
        EXPECT_FALSE(data->students[i].isSign);
    }
    EXPECT_EQ(data->students[0].name, "Lily");
    EXPECT_EQ(data->students[0].sex, 2);
    EXPECT_EQ(data->students[2].headImage, "HeadImg1.png");
}

TEST_F(GlobalDataStudentPlist, MissingFileEmptiesTheList) {
    GDataManager* data = freshGlobalData();
    data->students.push_back(commontest::pupil(1, 0, 0));
    data->loadStudentsFromPlist();
    EXPECT_TRUE(data->students.empty());
}

TEST_F(GlobalDataStudentPlist, ElementThatIsNotAMapGivesAnEmptyPupilInItsPlace) {
    writeStudents({engine::Value("Lily"), student("Max", 1, "HeadImg1.png")});
    commontest::LogCapture log;
    GDataManager* data = freshGlobalData();
    data->loadStudentsFromPlist();
    ASSERT_EQ(data->students.size(), 2u);
    EXPECT_TRUE(data->students[0].name.empty());
    EXPECT_EQ(data->students[0].number, 1);
    EXPECT_EQ(data->students[1].name, "Max");
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(GlobalDataLessonPlayer, ClearedOnlyByTheSceneItPointsAt) {
    GDataManager* data = freshGlobalData();
    int oldScene = 0;
    int newScene = 0;
    data->logicTopicScene = reinterpret_cast<LogicTopicScene*>(&newScene);

    data->clearLogicTopicScene(&oldScene);
    EXPECT_EQ(data->logicTopicScene, reinterpret_cast<LogicTopicScene*>(&newScene));
    data->clearLogicTopicScene(nullptr);
    EXPECT_NE(data->logicTopicScene, nullptr);
    data->clearLogicTopicScene(&newScene);
    EXPECT_EQ(data->logicTopicScene, nullptr);
}

} // namespace
