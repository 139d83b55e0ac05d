#include "net/CoursewareData.h"

#include "base/StringUtils.h"
#include "common/GDataManager.h"

std::string CoursewareData::makeIdentify(int currentCourseType, int currentSubject, int course, int subject, int grade,
                                         int stage, int lecture) {
    int coursePart = course;
    int subjectPart = subject;
    if (currentCourseType == 7) {
        if (currentSubject == 8 || currentSubject == 10) {
            coursePart = 1;
            subjectPart = 1;
        } else {
            coursePart = 3;
        }
    } else if (currentSubject == 25) {
        coursePart = 1;
        subjectPart = 1;
    }
    return engine::StringUtils::format("%.2d%.2d%.2d%.2d%.2d", coursePart, subjectPart, grade, stage, lecture);
}

std::string CoursewareData::identifyOf(const CoursewareData& record) {
    const GDataManager* data = GDataManager::getInstance();
    return makeIdentify(data->courseTypeCode, data->subjectCode, record.CourseCode, record.SubjectCode,
                        record.GradeCode, record.StageCode, record.LectureCode);
}

std::string CoursewareData::currentIdentify() {
    const GDataManager* data = GDataManager::getInstance();
    return makeIdentify(data->courseTypeCode, data->subjectCode, data->courseTypeCode, data->subjectCode,
                        data->gradeCode, data->phaseCode, data->lessonNumber);
}
