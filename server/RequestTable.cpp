#include "RequestTable.h"

#include "ScoreText.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace courseware {

namespace {

const std::vector<RequestSpec>& table() {
    // One lecture, as the course file list and the question list name it.
    static const std::vector<FieldSpec> lectureFields = {{"gradeCode", FieldKind::Integer},
                                                         {"lesson", FieldKind::Integer},
                                                         {"phaseCode", FieldKind::Integer},
                                                         {"subjectCode", FieldKind::Integer},
                                                         {"typeCode", FieldKind::Integer}};
    static const std::vector<RequestSpec> requests = {
        {"login", false, {{"password", FieldKind::Text}, {"username", FieldKind::Text}}},
        {"getCourseIcon", true, {{"appId", FieldKind::Text}}},
        {"getCoursePermission", true, {}},
        {"getUI", true, {{"institutionId", FieldKind::Integer}}},
        {"getClassList", true, {}},
        {"getCourseList",
         true,
         {{"gradeCode", FieldKind::Integer}, {"subjectCode", FieldKind::Integer}, {"typeCode", FieldKind::Integer}}},
        {"getCourseFileList", true, lectureFields},
        {"getStudentList", true, {{"classId", FieldKind::Integer}}},
        {"getCourseQuestionList", true, lectureFields},
        {"saveScore",
         true,
         {{"classId", FieldKind::Integer},
          {"gradeCode", FieldKind::Integer},
          {"lesson", FieldKind::Integer},
          {"phaseCode", FieldKind::Integer},
          {"score", FieldKind::Score},
          {"subjectCode", FieldKind::Integer},
          {"typeCode", FieldKind::Integer}}},
        // Sent when the login scene enters, before any login.
        {"version", false, {{"id", FieldKind::WindowId}}},
    };
    return requests;
}

bool isDecimalInt(const std::string& text) {
    if (text.empty() || text[0] == '+') {
        return false;
    }
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    bool leadingZero = text.size() > 1 && (text[0] == '0' || (text[0] == '-' && text[1] == '0'));
    return error == std::errc() && end == text.data() + text.size() && !leadingZero && text != "-0";
}

std::string checkKind(const FieldSpec& spec, const std::string& value) {
    switch (spec.kind) {
    case FieldKind::Text:
        return {};
    case FieldKind::Integer:
        return isDecimalInt(value) ? ""
                                   : "Field \"" + spec.name + "\" must be a decimal integer, not \"" + value + "\".";
    case FieldKind::WindowId:
        return value == "13" || value == "10" ? "" : "Field \"" + spec.name + "\" must be \"13\" or \"10\".";
    case FieldKind::Score:
        return ScoreText::parse(value).error();
    }
    return {};
}

} // namespace

const RequestSpec* RequestTable::find(const std::string& name) {
    for (const auto& spec : table()) {
        if (spec.name == name) {
            return &spec;
        }
    }
    return nullptr;
}

std::string RequestTable::check(const RequestSpec& spec, const FormFields& fields) {
    auto specOf = [&spec](const std::string& name) -> const FieldSpec* {
        auto it = std::find_if(spec.fields.begin(), spec.fields.end(), [&](const auto& f) { return f.name == name; });
        return it == spec.fields.end() ? nullptr : &*it;
    };
    std::set<std::string> seen;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string& name = fields[i].first;
        if (!specOf(name)) {
            return "Unexpected field \"" + name + "\" in " + spec.name + ".";
        }
        if (!seen.insert(name).second) {
            return "Field \"" + name + "\" appears twice in " + spec.name + ".";
        }
        if (i > 0 && name < fields[i - 1].first) {
            return "Field \"" + name + "\" is out of key order in " + spec.name + ".";
        }
    }
    for (const auto& field : spec.fields) {
        if (!seen.count(field.name)) {
            return "Missing field \"" + field.name + "\" in " + spec.name + ".";
        }
    }
    for (const auto& [name, value] : fields) {
        std::string problem = checkKind(*specOf(name), value);
        if (!problem.empty()) {
            return problem;
        }
    }
    return {};
}

} // namespace courseware
