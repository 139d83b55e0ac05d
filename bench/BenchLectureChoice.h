// The choice the course, subject and grade screens leave for the lecture list: course type 1, subject 1, grade 1
// in term 1, the given class, and that many lectures of the grade in the list.
#pragma once

#include "base/Director.h"
#include "common/GDataManager.h"
#include "net/CoursewareData.h"
#include "net/CoursewareManager.h"

namespace bench {

template <class T> T* running() {
    return dynamic_cast<T*>(engine::Director::getInstance()->getRunningScene());
}

inline void chooseLecture(int classId, int lectures) {
    GradeRecord grade;
    grade.gradeCode = 1;
    grade.enabled = 1;
    grade.phases[1] = PhaseRecord{1, 1, "Term 1"};
    SubjectRecord subject;
    subject.subjectCode = 1;
    subject.enabled = 1;
    subject.playMode = 1;
    subject.grades[1] = grade;
    GDataManager* data = GDataManager::getInstance();
    data->courseTypes[1].typeCode = 1;
    data->courseTypes[1].enabled = 1;
    data->courseTypes[1].subjects[1] = subject;
    data->courseTypeCode = 1;
    data->subjectCode = 1;
    data->gradeCode = 1;
    data->classIdSelected = classId;
    data->enteredFrom = 0;
    CoursewareList list;
    for (int lesson = 1; lesson <= lectures; ++lesson) {
        CoursewareData record;
        record.CoursewareId = lesson;
        record.CourseCode = 1;
        record.GradeCode = 1;
        record.StageCode = 1;
        record.LectureCode = lesson;
        record.Identify = CoursewareData::makeIdentify(1, 1, 1, 1, 1, 1, lesson);
        list.push_back(record);
    }
    CoursewareManager::getInstance()->currentList = list;
}

} // namespace bench
