// One courseware package: the server's course-list item and the row of the courseware table.
#pragma once

#include <string>
#include <vector>

struct CoursewareData {
    int CoursewareId = 0;
    int CourseCode = 0;
    int SubjectCode = 1;
    int GradeCode = 0;
    int StageCode = 0;
    int LectureCode = 0;
    std::string Hash;
    std::string LectureName;
    std::string Url;
    int ResSize = 0;
    std::string Version;
    // The ten-digit name of the package's zip, folder and table row.
    std::string Identify;
    bool downloaded = false;
    // 1 ready, 2 queued, 4 outdated, 5 not downloaded.
    int state = 1;
    std::string text1;

    // "%.2d%.2d%.2d%.2d%.2d" of course, subject, grade, stage and lecture. The course and subject parts follow
    // the chosen course type and subject: type 7 with subject 8 or 10, or subject 25, gives 01 01; type 7 with
    // another subject gives 03 and the subject; otherwise the package's own course and subject.
    static std::string makeIdentify(int currentCourseType, int currentSubject, int course, int subject, int grade,
                                    int stage, int lecture);
    // Exactly ten digits: the only name a package's zip and folder may have under "NetRes/". Codes outside 0 to 99
    // (a lecture -1 gives "01010101-1") make no identify.
    static bool isIdentify(const std::string& identify);
    // The identify code of record under the global data's current course type and subject.
    static std::string identifyOf(const CoursewareData& record);
    // The identify code of the global data's current choice.
    static std::string currentIdentify();
    // The node tag that stands for an identify code, for tagging and for finding the tagged node again. A code is
    // read as a 64-bit number and folded into the int range, so a ten-digit code above 2^31 - 1 gets a tag of its
    // own too (codes below keep their own value); -1, no tag, for a code that is not 1 to 10 digits.
    static int identifyTag(const std::string& identify);

    // The lesson code "text1" read by position: character 1 the grade, 2 the stage, 3 and 4 the lecture, each
    // like atoi (leading digits); a part the text is too short for reads 0, one that starts with no digit -1.
    struct LessonCode {
        int grade = 0;
        int stage = 0;
        int lecture = 0;
    };
    static LessonCode readLessonCode(const std::string& text1);
};

using CoursewareList = std::vector<CoursewareData>;
