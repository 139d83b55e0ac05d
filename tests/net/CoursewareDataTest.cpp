#include <gtest/gtest.h>

#include "common/GDataManager.h"
#include "net/CoursewareData.h"

namespace {

CoursewareData record(int course, int subject, int grade, int stage, int lecture) {
    CoursewareData data;
    data.CourseCode = course;
    data.SubjectCode = subject;
    data.GradeCode = grade;
    data.StageCode = stage;
    data.LectureCode = lecture;
    return data;
}

class CoursewareIdentify : public ::testing::Test {
protected:
    void TearDown() override { GDataManager::getInstance()->init(); }
    void choose(int courseType, int subject) {
        GDataManager::getInstance()->courseTypeCode = courseType;
        GDataManager::getInstance()->subjectCode = subject;
    }
};

} // namespace

TEST_F(CoursewareIdentify, CourseAndSubjectPartsFollowTheCurrentChoice) {
    const CoursewareData data = record(1, 2, 3, 1, 4);
    choose(1, 2);
    EXPECT_EQ(CoursewareData::identifyOf(data), "0102030104");
    choose(7, 2);
    EXPECT_EQ(CoursewareData::identifyOf(data), "0302030104");
    choose(7, 8);
    EXPECT_EQ(CoursewareData::identifyOf(data), "0101030104");
    choose(7, 10);
    EXPECT_EQ(CoursewareData::identifyOf(data), "0101030104");
    choose(3, 25);
    EXPECT_EQ(CoursewareData::identifyOf(data), "0101030104");
}

TEST_F(CoursewareIdentify, CurrentChoiceGivesTheCurrentCode) {
    GDataManager* data = GDataManager::getInstance();
    choose(2, 3);
    data->gradeCode = 5;
    data->phaseCode = 1;
    data->lessonNumber = 12;
    EXPECT_EQ(CoursewareData::currentIdentify(), "0203050112");
    choose(7, 4);
    EXPECT_EQ(CoursewareData::currentIdentify(), "0304050112");
}

TEST_F(CoursewareIdentify, LargeValuesPrintAllTheirDigits) {
    EXPECT_EQ(CoursewareData::makeIdentify(1, 2, 1, 2, 123, 0, 7), "0102123" "0007");
}
