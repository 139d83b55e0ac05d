#include "support/LectureChoice.h"

#include <filesystem>
#include <string>

#include "CoursewareServer.h"
#include "common/GDataManager.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"

namespace fs = std::filesystem;

namespace support {

void chooseLecture(const Lecture& lecture) {
    GDataManager* data = GDataManager::getInstance();
    data->courseTypeCode = lecture.courseType;
    data->subjectCode = lecture.subject;
    data->gradeCode = lecture.grade;
    data->phaseCode = lecture.phase;
    data->lessonNumber = lecture.lesson;
    data->classIdSelected = 101;
    SubjectRecord subject;
    subject.subjectCode = lecture.subject;
    subject.playMode = 1;
    data->courseTypes[lecture.courseType].typeCode = lecture.courseType;
    data->courseTypes[lecture.courseType].subjects[lecture.subject] = subject;

    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->currentList.clear();
    for (int number = 1; number <= 3; ++number) {
        CoursewareData record;
        record.CoursewareId = number;
        record.CourseCode = lecture.courseType;
        record.SubjectCode = lecture.subject;
        record.GradeCode = lecture.grade;
        record.StageCode = lecture.phase;
        record.LectureCode = number;
        record.LectureName = "Lecture " + std::to_string(number);
        record.Identify = CoursewareManager::getIdentify(record);
        courseware->currentList.push_back(record);
        fs::path package = courseware::CoursewareServer::defaultDataDir() / "packages" / record.Identify;
        if (!fs::is_directory(package)) {
            package = fs::path(TEST_SOURCE_DIR "/server/packages") / record.Identify;
        }
        if (fs::is_directory(package)) {
            fs::copy(package, fs::path(FileManager::getInstance()->getNetResPath()) / record.Identify,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
    }
}

} // namespace support
