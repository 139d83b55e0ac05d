#include "ServerTest.h"

#include <cstdint>

void ServerTest::SetUp() {
    ASSERT_GT(server.start(0), 0);
    client.emplace("127.0.0.1", server.port());
}

void ServerTest::TearDown() {
    client.reset();
    server.stop();
}

httplib::Result ServerTest::post(const std::string& path, const std::string& body, std::optional<std::string> token) {
    httplib::Headers headers;
    if (token) {
        headers.emplace("token", *token);
    }
    std::string target = path[0] == '/' ? path : "/api/union/" + path;
    return client->Post(target.c_str(), headers, body, "application/x-www-form-urlencoded");
}

rapidjson::Document ServerTest::call(const std::string& name, const std::string& body,
                                     std::optional<std::string> token) {
    rapidjson::Document reply;
    auto result = post(name, body, token);
    EXPECT_TRUE(result) << name << ": no answer";
    if (!result) {
        return reply;
    }
    EXPECT_EQ(result->status, 200) << name;
    reply.Parse(result->body.c_str());
    EXPECT_TRUE(reply.IsObject()) << name << ": " << result->body;
    return reply;
}

rapidjson::Document ServerTest::callLoggedIn(const std::string& name, const std::string& body) {
    if (teacherToken.empty()) {
        teacherToken = login();
    }
    return call(name, body, teacherToken);
}

std::string ServerTest::login(const std::string& username, const std::string& password) {
    auto reply = call("login", "password=" + password + "&username=" + username, "");
    EXPECT_EQ(codeOf(reply), 0) << "login of " << username;
    return stringOf(at(reply, "data"), "token");
}

httplib::Result ServerTest::get(const std::string& path) {
    return client->Get(path.c_str());
}

std::string ServerTest::pathOf(const std::string& url) const {
    std::string origin = server.origin();
    EXPECT_EQ(url.rfind(origin + "/", 0), 0u) << url;
    return url.rfind(origin, 0) == 0 ? url.substr(origin.size()) : "";
}

std::vector<std::string> zipEntryNames(const std::string& zip) {
    auto u16 = [&zip](size_t at) { return uint32_t(uint8_t(zip[at])) | uint32_t(uint8_t(zip[at + 1])) << 8; };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    size_t end = zip.size() >= 22 ? zip.rfind(std::string("PK\x05\x06", 4)) : std::string::npos;
    if (end == std::string::npos || end + 22 > zip.size()) {
        return {};
    }
    std::vector<std::string> names;
    size_t at = u32(end + 16);
    for (uint32_t i = 0; i < u16(end + 10) && at + 46 <= zip.size() && zip.compare(at, 4, "PK\x01\x02") == 0; ++i) {
        size_t nameLength = u16(at + 28);
        names.push_back(zip.substr(at + 46, nameLength));
        at += 46 + nameLength + u16(at + 30) + u16(at + 32);
    }
    return names;
}

const rapidjson::Value& at(const rapidjson::Value& object, const char* key) {
    static const rapidjson::Value null;
    if (!object.IsObject()) {
        return null;
    }
    auto it = object.FindMember(key);
    return it == object.MemberEnd() ? null : it->value;
}

const rapidjson::Value& at(const rapidjson::Value& array, int index) {
    static const rapidjson::Value null;
    return array.IsArray() && index >= 0 && static_cast<rapidjson::SizeType>(index) < array.Size()
               ? array[static_cast<rapidjson::SizeType>(index)]
               : null;
}

int intOf(const rapidjson::Value& object, const char* key) {
    const auto& value = at(object, key);
    return value.IsInt() ? value.GetInt() : -99999;
}

std::string stringOf(const rapidjson::Value& object, const char* key) {
    const auto& value = at(object, key);
    return value.IsString() ? value.GetString() : "<absent>";
}
