#include "common/JsonManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "base/InputLimits.h"
#include "base/Log.h"
#include "common/CommonTools.h"

namespace {

JsonManager* s_instance = nullptr;

// Container nesting of value (a scalar is 0), walked without recursion; stops counting past limit.
size_t nestingDepth(const rapidjson::Value& value, size_t limit) {
    size_t deepest = 0;
    std::vector<std::pair<const rapidjson::Value*, size_t>> pending{{&value, 1}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        if (node->IsArray()) {
            for (const auto& element : node->GetArray()) {
                pending.emplace_back(&element, depth + 1);
            }
        } else if (node->IsObject()) {
            for (const auto& member : node->GetObject()) {
                pending.emplace_back(&member.value, depth + 1);
            }
        } else {
            continue;
        }
        if (depth > deepest) {
            deepest = depth;
            if (deepest > limit) {
                break;
            }
        }
    }
    return deepest;
}

// The members of a course-list item, in the order the server sends them. A code of the package's identify that is
// there but no integer ("abc", 1.5, 99999999999) reads -1, which makes no identify, so the lecture is refused
// rather than taken for lecture 0.
struct CoursewareField {
    const char* key;
    int CoursewareData::*number;
    std::string CoursewareData::*text;
    bool identifyCode = false;
};

const CoursewareField kCoursewareFields[] = {
    {"id", &CoursewareData::CoursewareId, nullptr},
    {"type", &CoursewareData::CourseCode, nullptr, true},
    {"subject", &CoursewareData::SubjectCode, nullptr, true},
    {"grade", &CoursewareData::GradeCode, nullptr, true},
    {"phase", &CoursewareData::StageCode, nullptr, true},
    {"lesson", &CoursewareData::LectureCode, nullptr, true},
    {"hash", nullptr, &CoursewareData::Hash},
    {"name", nullptr, &CoursewareData::LectureName},
    {"url", nullptr, &CoursewareData::Url},
    {"size", &CoursewareData::ResSize, nullptr},
    {"version", nullptr, &CoursewareData::Version},
    {"text1", nullptr, &CoursewareData::text1},
};

constexpr size_t kNoField = static_cast<size_t>(-1);

bool nameIs(const rapidjson::Value& name, const char* key) {
    const size_t length = std::strlen(key);
    return name.GetStringLength() == length && std::memcmp(name.GetString(), key, length) == 0;
}

// The field named name, trying first first; kNoField for a member that is not read.
size_t findCoursewareField(const rapidjson::Value& name, size_t first) {
    const size_t count = std::size(kCoursewareFields);
    for (size_t i = 0; i < count; ++i) {
        const size_t field = (first + i) % count;
        if (nameIs(name, kCoursewareFields[field].key)) {
            return field;
        }
    }
    return kNoField;
}

} // namespace

JsonManager* JsonManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) JsonManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

std::string JsonManager::toString(const rapidjson::Value& value) const {
    if (nestingDepth(value, engine::limits::kReplyJsonDepth) > engine::limits::kReplyJsonDepth) {
        engine::log("error json depth: more than %zu levels", engine::limits::kReplyJsonDepth);
        return "";
    }
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

const rapidjson::Value* JsonManager::findMember(const rapidjson::Value& object, const std::string& key) {
    if (!object.IsObject()) {
        engine::log("error json object: %s", key.c_str());
        return nullptr;
    }
    auto it = object.FindMember(rapidjson::StringRef(key.data(), key.size()));
    if (it == object.MemberEnd() || it->value.IsNull()) {
        return nullptr;
    }
    return &it->value;
}

int JsonManager::getInt(const rapidjson::Value& object, const std::string& key) const {
    const rapidjson::Value* member = findMember(object, key);
    if (!member) {
        return 0;
    }
    if (!member->IsInt()) {
        engine::log("error json int: %s", key.c_str());
        return 0;
    }
    return member->GetInt();
}

int JsonManager::getIntOrText(const rapidjson::Value& object, const std::string& key) const {
    const rapidjson::Value* member = findMember(object, key);
    if (member && member->IsString()) {
        std::vector<int> value;
        CommonTools::getInstance()->splitToInt(std::string(member->GetString(), member->GetStringLength()), value, "");
        return value.empty() ? 0 : value.front();
    }
    return getInt(object, key);
}

std::string JsonManager::getString(const rapidjson::Value& object, const std::string& key) const {
    const rapidjson::Value* member = findMember(object, key);
    if (!member) {
        return "";
    }
    if (!member->IsString()) {
        engine::log("error json string: %s", key.c_str());
        return "";
    }
    return std::string(member->GetString(), member->GetStringLength());
}

const rapidjson::Value* JsonManager::getArray(const rapidjson::Value& object, const std::string& key) const {
    const rapidjson::Value* member = findMember(object, key);
    if (member && !member->IsArray()) {
        engine::log("error json array: %s", key.c_str());
        return nullptr;
    }
    return member;
}

const rapidjson::Value* JsonManager::asArray(const rapidjson::Value& value, const std::string& what) const {
    if (value.IsArray()) {
        return &value;
    }
    if (!value.IsNull()) {
        engine::log("error json array: %s", what.c_str());
    }
    return nullptr;
}

void JsonManager::logNotAnObject(const std::string& what) {
    engine::log("error json item: %s", what.c_str());
}

CoursewareData JsonManager::readCourseware(const rapidjson::Value& item) const {
    CoursewareData data;
    if (!item.IsObject()) {
        engine::log("error courseware item");
        return data;
    }
    data.SubjectCode = 0;
    // One walk over the item's members instead of a search per field; the first member of a name counts, as with
    // getInt and getString. The server sends the fields in table order, so the next field is tried first.
    bool seen[std::size(kCoursewareFields)] = {};
    size_t next = 0;
    for (const auto& member : item.GetObject()) {
        const size_t field = findCoursewareField(member.name, next);
        if (field == kNoField || seen[field]) {
            continue;
        }
        seen[field] = true;
        next = field + 1;
        const CoursewareField& f = kCoursewareFields[field];
        const rapidjson::Value& value = member.value;
        if (value.IsNull()) {
            continue;
        }
        if (f.number) {
            if (value.IsInt()) {
                data.*f.number = value.GetInt();
            } else {
                engine::log("error json int: %s", f.key);
                if (f.identifyCode) {
                    data.*f.number = -1;
                }
            }
        } else if (value.IsString()) {
            (data.*f.text).assign(value.GetString(), value.GetStringLength());
        } else {
            engine::log("error json string: %s", f.key);
        }
    }
    return data;
}

SimpleGameItem JsonManager::readQuestion(const rapidjson::Value& item) const {
    SimpleGameItem question;
    if (!item.IsObject()) {
        engine::log("error question item");
        return question;
    }
    question.id = getIntOrText(item, "id");
    question.title = textOf(findMember(item, "title"), "title");
    question.music = textOf(findMember(item, "music"), "music");
    question.lookImg = textOf(findMember(item, "lookImg"), "lookImg");
    readStrings(item, "contImgs", question.contImgs);
    readStrings(item, "operImgs", question.operImgs);
    readStrings(item, "answers", question.answers);
    return question;
}

void JsonManager::readStrings(const rapidjson::Value& object, const char* key, std::vector<std::string>& out) const {
    out.clear();
    const rapidjson::Value* array = getArray(object, key);
    if (!array) {
        return;
    }
    for (const auto& element : array->GetArray()) {
        out.push_back(textOf(&element, key));
    }
}

std::string JsonManager::textOf(const rapidjson::Value* value, const char* key) {
    if (!value || value->IsNull()) {
        return "";
    }
    if (value->IsString()) {
        return std::string(value->GetString(), value->GetStringLength());
    }
    if (value->IsInt64()) {
        return std::to_string(value->GetInt64());
    }
    if (value->IsUint64()) {
        return std::to_string(value->GetUint64());
    }
    if (value->IsDouble()) {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", value->GetDouble());
        return text;
    }
    engine::log("error json string in %s", key);
    return "";
}
