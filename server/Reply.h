// A reply of the request interface: {"code","status","msg","data"}.
#pragma once

#include <rapidjson/document.h>

#include <string>

namespace courseware {

class Reply {
public:
    static Reply ok(rapidjson::Document data);
    // Success with an empty object as "data".
    static Reply ok();
    // Status 0, "data" null.
    static Reply error(int code, std::string message);

    int code() const { return _code; }
    const std::string& message() const { return _message; }
    const rapidjson::Document& data() const { return _data; }

    // Compact JSON text; every string in "data" that starts with "/files/" is prefixed with origin
    // ("http://127.0.0.1:<port>"), so the catalogue names files by path only.
    std::string toJson(const std::string& origin) const;

private:
    int _code = 0;
    std::string _message;
    rapidjson::Document _data;
};

} // namespace courseware
