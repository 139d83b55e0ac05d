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
};

using CoursewareList = std::vector<CoursewareData>;
