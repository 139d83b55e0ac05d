// The course catalogue, the schools and classes of a grade and the pupils: plain value records.
#pragma once

#include <map>
#include <string>
#include <vector>

struct PhaseRecord {
    int enabled = 0;
    int phaseCode = 0;
    std::string phaseName;
};

struct GradeRecord {
    int enabled = 0;
    int gradeCode = 0;
    std::string gradeName;
    std::map<int, PhaseRecord> phases;
};

struct SubjectRecord {
    int enabled = 0;
    int subjectCode = 0;
    // 1: grade, class and lecture scenes with grouping; 2 to 4: the flow for course types 2 to 4.
    int playMode = 0;
    std::string subjectName;
    std::string iconNormal;
    std::string iconSelected;
    std::string iconLocked;
    std::map<int, GradeRecord> grades;
};

struct CourseTypeRecord {
    int enabled = 0;
    int typeCode = 0;
    std::string typeName;
    std::string iconNormal;
    std::string iconSelected;
    std::string iconLocked;
    std::map<int, SubjectRecord> subjects;
};

struct ClassRecord {
    int classId = 0;
    std::string className;
};

struct SchoolRecord {
    int schoolId = 0;
    std::string schoolName;
    std::vector<ClassRecord> classes;
};

struct StudentRecord {
    int id = 0;
    // 1 to groupCount; 0 = no group.
    int group = 0;
    std::string name;
    int sex = 0;
    std::string headImage;
    int score = 0;
    // 0-based position in the list as received.
    int listIndex = 0;
    // 1-based display number.
    int number = 0;
    bool isSign = false;
    int gameScore = 0;
    // Whole seconds of the best mini-game time; 0 until a game is played.
    int gameTime = 0;
};
