// Tolerant reads of catalogue members: a missing or mistyped member gives 0, "" or null.
#pragma once

#include <rapidjson/document.h>

#include <string>

namespace courseware {

inline const rapidjson::Value& memberOrNull(const rapidjson::Value& object, const char* name) {
    static const rapidjson::Value null;
    if (!object.IsObject()) {
        return null;
    }
    auto it = object.FindMember(name);
    return it != object.MemberEnd() ? it->value : null;
}

inline int intMember(const rapidjson::Value& object, const char* name) {
    const auto& value = memberOrNull(object, name);
    return value.IsInt() ? value.GetInt() : 0;
}

inline std::string stringMember(const rapidjson::Value& object, const char* name) {
    const auto& value = memberOrNull(object, name);
    return value.IsString() ? std::string(value.GetString(), value.GetStringLength()) : std::string();
}

} // namespace courseware
