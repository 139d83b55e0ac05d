#include "Catalogue.h"

#include "JsonMembers.h"

#include <array>
#include <span>
#include <string>

namespace courseware {

namespace {

constexpr int kCatalogueError = 500;
constexpr const char* kPackageMark = "{package}";

// Catalogue entry member and the form field that must equal it.
using KeyPair = std::pair<const char*, const char*>;

constexpr std::array<KeyPair, 3> kListKeys = {
    {{"type", "typeCode"}, {"subject", "subjectCode"}, {"grade", "gradeCode"}}};
constexpr std::array<KeyPair, 5> kLectureKeys = {{{"type", "typeCode"},
                                                  {"subject", "subjectCode"},
                                                  {"grade", "gradeCode"},
                                                  {"phase", "phaseCode"},
                                                  {"lesson", "lesson"}}};

// Whether a catalogue entry is the one the fields ask for; a missing member counts as 0.
bool matches(const rapidjson::Value& entry, const FormFields& fields, std::span<const KeyPair> keys) {
    if (!entry.IsObject()) {
        return false;
    }
    for (const auto& [member, field] : keys) {
        if (intMember(entry, member) != intFieldValue(fields, field)) {
            return false;
        }
    }
    return true;
}

// One "getCourseList" item, members in the order the client's reader lists them. The zip of the entry's
// "package" gives "url", "hash" and "size" unless the entry sets them itself.
rapidjson::Value courseItem(const rapidjson::Value& entry, const DataFolder& data,
                            rapidjson::Document::AllocatorType& alloc) {
    std::string zip = "courseware/" + stringMember(entry, "package") + ".zip";
    auto text = [&alloc](const std::string& value) { return rapidjson::Value(value.c_str(), alloc); };
    auto given = [&entry](const char* name) { return entry.HasMember(name); };
    rapidjson::Value item(rapidjson::kObjectType);
    for (const char* name : {"id", "type", "subject", "grade", "phase", "lesson"}) {
        item.AddMember(rapidjson::StringRef(name), intMember(entry, name), alloc);
    }
    item.AddMember("hash", text(given("hash") ? stringMember(entry, "hash") : data.digest(zip)), alloc);
    item.AddMember("name", text(stringMember(entry, "name")), alloc);
    item.AddMember("url", text(given("url") ? stringMember(entry, "url") : "/files/" + zip), alloc);
    item.AddMember("size", given("size") ? intMember(entry, "size") : static_cast<int>(data.size(zip)), alloc);
    item.AddMember("version", text(stringMember(entry, "version")), alloc);
    item.AddMember("text1", text(stringMember(entry, "text1")), alloc);
    return item;
}

} // namespace

Reply Catalogue::wholeFile(const std::string& name) const {
    rapidjson::Document document;
    std::string error;
    if (!_data.load(name, document, error)) {
        return Reply::error(kCatalogueError, error);
    }
    return Reply::ok(std::move(document));
}

Reply Catalogue::getCourseIcon(const FormFields&) const {
    return wholeFile("courseIcons.json");
}

Reply Catalogue::getCoursePermission(const FormFields&) const {
    return wholeFile("permissions.json");
}

Reply Catalogue::getClassList(const FormFields&) const {
    return wholeFile("classes.json");
}

Reply Catalogue::getCourseList(const FormFields& fields) const {
    rapidjson::Document courses;
    std::string error;
    if (!_data.load("courses.json", courses, error) || !courses.IsArray()) {
        return Reply::error(kCatalogueError, error.empty() ? "courses.json must hold an array." : error);
    }
    rapidjson::Document list(rapidjson::kArrayType);
    for (const auto& entry : courses.GetArray()) {
        if (matches(entry, fields, kListKeys)) {
            list.PushBack(courseItem(entry, _data, list.GetAllocator()), list.GetAllocator());
        }
    }
    return Reply::ok(std::move(list));
}

Reply Catalogue::getCourseFileList(const FormFields& fields) const {
    rapidjson::Document courses;
    rapidjson::Document files;
    std::string error;
    if (!_data.load("courses.json", courses, error) || !_data.load("courseFiles.json", files, error) ||
        !courses.IsArray() || !files.IsArray()) {
        return Reply::error(kCatalogueError, error.empty() ? "courses.json and courseFiles.json hold arrays." : error);
    }
    for (const auto& entry : courses.GetArray()) {
        if (matches(entry, fields, kLectureKeys)) {
            // "{package}" in a url names the lecture's own package: its summary movie carries its name.
            const std::string package = stringMember(entry, "package");
            for (auto& file : files.GetArray()) {
                std::string url = stringMember(file, "url");
                if (const size_t at = url.find(kPackageMark); at != std::string::npos && file.IsObject()) {
                    url.replace(at, std::string(kPackageMark).size(), package);
                    file["url"].SetString(url.c_str(), files.GetAllocator());
                }
            }
            return Reply::ok(std::move(files));
        }
    }
    rapidjson::Document none(rapidjson::kArrayType);
    return Reply::ok(std::move(none));
}

Reply Catalogue::getStudentList(const FormFields& fields) const {
    rapidjson::Document students;
    std::string error;
    if (!_data.load("students.json", students, error) || !students.IsObject()) {
        return Reply::error(kCatalogueError, error.empty() ? "students.json must hold an object." : error);
    }
    std::string classId = fieldValue(fields, "classId");
    const auto& listed = memberOrNull(memberOrNull(students, "classes"), classId.c_str());
    const auto& list = listed.IsNull() ? memberOrNull(students, "otherClasses") : listed;
    rapidjson::Document reply(rapidjson::kArrayType);
    if (list.IsArray()) {
        reply.CopyFrom(list, reply.GetAllocator());
    }
    return Reply::ok(std::move(reply));
}

Reply Catalogue::getCourseQuestionList(const FormFields& fields) const {
    rapidjson::Document lectures;
    std::string error;
    if (!_data.load("questions.json", lectures, error) || !lectures.IsArray()) {
        return Reply::error(kCatalogueError, error.empty() ? "questions.json must hold an array." : error);
    }
    rapidjson::Document reply(rapidjson::kArrayType);
    for (const auto& entry : lectures.GetArray()) {
        if (matches(entry, fields, kLectureKeys) && memberOrNull(entry, "questions").IsArray()) {
            reply.CopyFrom(entry["questions"], reply.GetAllocator());
            break;
        }
    }
    return Reply::ok(std::move(reply));
}

} // namespace courseware
