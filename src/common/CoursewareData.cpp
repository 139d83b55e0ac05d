#include "common/CoursewareData.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>

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

bool CoursewareData::isIdentify(const std::string& identify) {
    return identify.size() == 10 &&
           std::all_of(identify.begin(), identify.end(), [](char c) { return c >= '0' && c <= '9'; });
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

int CoursewareData::identifyTag(const std::string& identify) {
    if (identify.empty() || identify.size() > 10) {
        return -1;
    }
    uint64_t value = 0;
    for (char c : identify) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return static_cast<int>(value % static_cast<uint64_t>(INT_MAX));
}

CoursewareData::LessonCode CoursewareData::readLessonCode(const std::string& text1) {
    // A part that does not start with a digit reads -1, which makes no identify, rather than lecture 0.
    const auto numberAt = [&text1](size_t from, size_t count) {
        if (from >= text1.size()) {
            return 0;
        }
        return std::isdigit(static_cast<unsigned char>(text1[from])) ? std::atoi(text1.substr(from, count).c_str())
                                                                      : -1;
    };
    return {numberAt(0, 1), numberAt(1, 1), numberAt(2, 2)};
}
