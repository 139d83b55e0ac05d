#include "common/GDataManager.h"

#include <new>

#include "base/Log.h"
#include "base/Value.h"
#include "common/PlistManager.h"

namespace {
GDataManager* s_instance = nullptr;
}

GDataManager* GDataManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) GDataManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

bool GDataManager::init() {
    runMode = 2;
    institutionId = 0;
    courseTypeCode = 0;
    subjectCode = 0;
    gradeCode = 0;
    phaseCode = 0;
    lessonNumber = 0;
    classIdSelected = 0;
    groupCount = 0;
    enteredFrom = 0;
    logicTopicScene = nullptr;
    voiceVolume = 1.f;
    musicVolume = 1.f;
    return true;
}

CourseTypeRecord GDataManager::getCourseType(int typeCode) const {
    auto it = courseTypes.find(typeCode == 0 ? courseTypeCode : typeCode);
    return it == courseTypes.end() ? CourseTypeRecord() : it->second;
}

SubjectRecord GDataManager::getSubject(int typeCode, int code) const {
    auto type = courseTypes.find(typeCode == 0 ? courseTypeCode : typeCode);
    if (type == courseTypes.end()) {
        return SubjectRecord();
    }
    const auto& subjects = type->second.subjects;
    auto it = subjects.find(code == 0 ? subjectCode : code);
    return it == subjects.end() ? SubjectRecord() : it->second;
}

GradeRecord GDataManager::getGrade() const {
    auto type = courseTypes.find(courseTypeCode);
    if (type == courseTypes.end()) {
        return GradeRecord();
    }
    auto subject = type->second.subjects.find(subjectCode);
    if (subject == type->second.subjects.end()) {
        return GradeRecord();
    }
    auto it = subject->second.grades.find(gradeCode);
    return it == subject->second.grades.end() ? GradeRecord() : it->second;
}

StudentRecord GDataManager::getStudent(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= students.size()) {
        return StudentRecord();
    }
    return students[static_cast<size_t>(index)];
}

void GDataManager::loadStudentsFromPlist() {
    students.clear();
    engine::ValueVector list = PlistManager::getInstance()->getValueVector("Student.plist", "Students");
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].getType() != engine::Value::Type::MAP) {
            engine::log("error student item: %zu", i);
        }
        const engine::ValueMap& item = list[i].asValueMap();
        StudentRecord record;
        record.id = static_cast<int>(i);
        record.name = engine::valueOrNull(item, "Name").asString();
        record.sex = engine::valueOrNull(item, "Sex").asInt();
        record.headImage = engine::valueOrNull(item, "HeadImage").asString();
        record.listIndex = static_cast<int>(i);
        record.number = static_cast<int>(i) + 1;
        students.push_back(record);
    }
}

void GDataManager::clearLogicTopicScene(const void* scene) {
    if (scene && static_cast<const void*>(logicTopicScene) == scene) {
        logicTopicScene = nullptr;
    }
}
