#include "common/JsonManager.h"

#include <new>
#include <utility>

#include <rapidjson/error/en.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "base/Log.h"

namespace {

JsonManager* s_instance = nullptr;

constexpr size_t kParseStackCapacity = 1024;

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

rapidjson::Document JsonManager::parse(const std::string& text) const {
    // Its own pool allocator, growing in 64 KB chunks.
    rapidjson::Document document(nullptr, kParseStackCapacity);
    document.Parse<rapidjson::kParseIterativeFlag>(text.data(), text.size());
    if (document.HasParseError()) {
        engine::log("error json parse: %s (offset %zu)", rapidjson::GetParseError_En(document.GetParseError()),
                    document.GetErrorOffset());
        document.SetNull();
    } else if (nestingDepth(document, kMaxDepth) > kMaxDepth) {
        engine::log("error json depth: more than %zu levels", kMaxDepth);
        document.SetNull();
    }
    return document;
}

std::string JsonManager::toString(const rapidjson::Value& value) const {
    if (nestingDepth(value, kMaxDepth) > kMaxDepth) {
        engine::log("error json depth: more than %zu levels", kMaxDepth);
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
    data.CoursewareId = getInt(item, "id");
    data.CourseCode = getInt(item, "type");
    data.SubjectCode = getInt(item, "subject");
    data.GradeCode = getInt(item, "grade");
    data.StageCode = getInt(item, "phase");
    data.LectureCode = getInt(item, "lesson");
    data.Hash = getString(item, "hash");
    data.LectureName = getString(item, "name");
    data.Url = getString(item, "url");
    data.ResSize = getInt(item, "size");
    data.Version = getString(item, "version");
    data.text1 = getString(item, "text1");
    return data;
}

SimpleGameItem JsonManager::readQuestion(const rapidjson::Value& item) const {
    SimpleGameItem question;
    if (!item.IsObject()) {
        engine::log("error question item");
        return question;
    }
    question.id = getInt(item, "id");
    question.title = getString(item, "title");
    question.music = getString(item, "music");
    question.lookImg = getString(item, "lookImg");
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
        if (element.IsString()) {
            out.emplace_back(element.GetString(), element.GetStringLength());
        } else {
            engine::log("error json string in %s", key);
            out.emplace_back();
        }
    }
}
