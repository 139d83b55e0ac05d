#include <gtest/gtest.h>

#include "common/CoursewareData.h"
#include "common/GDataManager.h"

TEST(CoursewareIdentify, CourseAndSubjectPartsFollowTheCurrentChoice) {
    CoursewareData data;
    data.CourseCode = 1;
    data.SubjectCode = 2;
    data.GradeCode = 3;
    data.StageCode = 1;
    data.LectureCode = 4;
    const struct {
        int courseType, subject;
        const char* identify;
    } cases[] = {
        {1, 2, "0102030104"}, {7, 2, "0302030104"}, {7, 8, "0101030104"}, {7, 10, "0101030104"}, {3, 25, "0101030104"}};
    GDataManager* global = GDataManager::getInstance();
    for (const auto& c : cases) {
        global->courseTypeCode = c.courseType;
        global->subjectCode = c.subject;
        EXPECT_EQ(CoursewareData::identifyOf(data), c.identify) << c.courseType << "/" << c.subject;
    }
    global->courseTypeCode = 2;
    global->subjectCode = 3;
    global->gradeCode = 5;
    global->phaseCode = 1;
    global->lessonNumber = 12;
    EXPECT_EQ(CoursewareData::currentIdentify(), "0203050112");
    global->init();
    EXPECT_EQ(CoursewareData::makeIdentify(1, 2, 1, 2, 123, 0, 7), "0102123"
                                                                   "0007");
}
