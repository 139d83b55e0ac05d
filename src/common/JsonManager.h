// Typed reads of parsed replies with defaults, and the two list-item records.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "base/Ref.h"
#include "common/CoursewareData.h"
#include "common/SimpleGameItem.h"

class JsonManager : public engine::Ref {
public:
    static JsonManager* getInstance();

    virtual bool init() { return true; }

    // Compact JSON text; "" for a value nested deeper than limits::kReplyJsonDepth.
    std::string toString(const rapidjson::Value& value) const;

    // A missing or null member gives 0 / "". A member of another type, or a value that is not an object,
    // gives the same default with a log line.
    int getInt(const rapidjson::Value& object, const std::string& key) const;
    std::string getString(const rapidjson::Value& object, const std::string& key) const;
    // An int written as a number or as decimal text ("2"), the text read like atoi but clamped to the int
    // range; 0 otherwise (with a log line for another type).
    int getIntOrText(const rapidjson::Value& object, const std::string& key) const;
    // The array under key; null when it is missing or null, and null with a log line when the value is not an
    // object or the member is no array.
    const rapidjson::Value* getArray(const rapidjson::Value& object, const std::string& key) const;
    // A reply's whole "data" as an array; null when it is null, and null with a log line when it is no array.
    const rapidjson::Value* asArray(const rapidjson::Value& value, const std::string& what) const;
    // Calls visit for each object of the array (which may be null); other elements are skipped with a log line.
    template <class Visit>
    void forEachObject(const rapidjson::Value* array, const std::string& what, Visit visit) const {
        if (!array) {
            return;
        }
        for (const rapidjson::Value& item : array->GetArray()) {
            if (item.IsObject()) {
                visit(item);
            } else {
                logNotAnObject(what);
            }
        }
    }

    // A value that is not an object gives the default record.
    CoursewareData readCourseware(const rapidjson::Value& item) const;
    SimpleGameItem readQuestion(const rapidjson::Value& item) const;

private:
    JsonManager() = default;
    static void logNotAnObject(const std::string& what);
    // The member under key; null when the value is not an object or the member is missing or null.
    static const rapidjson::Value* findMember(const rapidjson::Value& object, const std::string& key);
    // The elements of the array under key as text; an element that is neither text nor a number gives "" with a
    // log line, so the others keep their places.
    void readStrings(const rapidjson::Value& object, const char* key, std::vector<std::string>& out) const;
    // A string as it stands, a number as its decimal text, null or missing as ""; another type "" with a log line.
    static std::string textOf(const rapidjson::Value* value, const char* key);
};
