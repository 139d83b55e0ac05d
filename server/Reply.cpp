#include "Reply.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace courseware {

namespace {

void makeUrlsAbsolute(rapidjson::Value& value, const std::string& origin, rapidjson::Document::AllocatorType& alloc) {
    if (value.IsString()) {
        std::string text(value.GetString(), value.GetStringLength());
        if (text.rfind("/files/", 0) == 0) {
            text = origin + text;
            value.SetString(text.c_str(), static_cast<rapidjson::SizeType>(text.size()), alloc);
        }
    } else if (value.IsArray()) {
        for (auto& item : value.GetArray()) {
            makeUrlsAbsolute(item, origin, alloc);
        }
    } else if (value.IsObject()) {
        for (auto& member : value.GetObject()) {
            makeUrlsAbsolute(member.value, origin, alloc);
        }
    }
}

} // namespace

Reply Reply::ok(rapidjson::Document data) {
    Reply reply;
    reply._data = std::move(data);
    return reply;
}

Reply Reply::ok() {
    rapidjson::Document data;
    data.SetObject();
    return ok(std::move(data));
}

Reply Reply::error(int code, std::string message) {
    Reply reply;
    reply._code = code;
    reply._message = std::move(message);
    return reply;
}

std::string Reply::toJson(const std::string& origin) const {
    rapidjson::Document document;
    document.SetObject();
    auto& alloc = document.GetAllocator();
    rapidjson::Value data(_data, alloc);
    makeUrlsAbsolute(data, origin, alloc);
    document.AddMember("code", _code, alloc);
    document.AddMember("status", 0, alloc);
    document.AddMember("msg", rapidjson::Value(_message.c_str(), alloc), alloc);
    document.AddMember("data", data, alloc);
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    document.Accept(writer);
    return buffer.GetString();
}

} // namespace courseware
