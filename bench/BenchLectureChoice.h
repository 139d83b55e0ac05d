// What the screens before the lecture list leave for it: the demo teacher logged in, and the choice of course type
// 1, subject 1, grade 1 in term 1, a class and that many lectures of the grade in the list.
#pragma once

#include <string>

#include "base/Director.h"
#include "common/CoursewareData.h"
#include "common/GDataManager.h"
#include "common/JsonManager.h"
#include "net/CoursewareManager.h"
#include "net/HttpManager.h"
#include "support/Headless.h"

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

// The demo teacher logged in through the request service on the server at baseUrl, the token stored.
inline void logIn(const std::string& baseUrl) {
    HttpManager* http = HttpManager::getInstance();
    http->baseUrl = baseUrl;
    bool loggedIn = false;
    http->sendRequest("login",
                      [&](const std::string&, rapidjson::Value& data) {
                          http->token = JsonManager::getInstance()->getString(data, "token");
                          loggedIn = true;
                      },
                      true, "union", nullptr, {{"password", "1234"}, {"username", "teacher"}});
    support::waitFor([&] { return loggedIn; });
}

} // namespace bench
