// The global data: the teacher's choices and the classroom's data, carried from one scene to the next.
#pragma once

#include <map>
#include <vector>

#include "base/Ref.h"
#include "common/ClassroomRecords.h"

class LogicTopicScene;

class GDataManager : public engine::Ref {
public:
    static GDataManager* getInstance();

    virtual bool init();

    // Catalogue lookups; a code of 0 stands for the current choice. A miss gives a default record.
    CourseTypeRecord getCourseType(int typeCode) const;
    SubjectRecord getSubject(int typeCode, int subjectCode) const;
    GradeRecord getGrade() const;

    std::vector<StudentRecord> getStudents() const { return students; }
    // A default record when index is negative or not below the number of pupils.
    StudentRecord getStudent(int index) const;

    // Replaces students by the "Students" array of "Student.plist".
    void loadStudentsFromPlist();

    // The lesson player calls this from its destructor: logicTopicScene is cleared only while it still
    // points at that scene, so a newer lesson player that already stored itself is kept.
    void clearLogicTopicScene(const void* scene);

    std::map<int, CourseTypeRecord> courseTypes;
    std::vector<SchoolRecord> classList;
    int runMode = 2;
    // (visible height - 720) x 0.5, set at start-up.
    float screenOffsetY = 0.f;
    int institutionId = 0;
    int courseTypeCode = 0;
    int subjectCode = 0;
    int gradeCode = 0;
    int phaseCode = 0;
    int lessonNumber = 0;
    int classIdSelected = 0;
    // 2 to 4; 0 when the class is not grouped.
    int groupCount = 0;
    std::vector<StudentRecord> students;
    // 0 or 2: the sign-in and grouping scenes replaced the running scene; 3: they were pushed.
    int enteredFrom = 0;
    // The live lesson player, not owned.
    LogicTopicScene* logicTopicScene = nullptr;
    float voiceVolume = 1.f;
    float musicVolume = 1.f;

private:
    GDataManager() = default;
};
