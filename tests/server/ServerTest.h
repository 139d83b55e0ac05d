// A courseware server on a free port for each test, and a plain HTTP client to talk to it.
#pragma once

#include "CoursewareServer.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <rapidjson/document.h>

#include <optional>
#include <string>
#include <vector>

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // POSTs body to "/api/union/<name>" (or another path) with a "token" header when token is set.
    httplib::Result post(const std::string& path, const std::string& body, std::optional<std::string> token);
    // The parsed reply of a request; an HTTP status other than 200 fails the test.
    rapidjson::Document call(const std::string& name, const std::string& body = "",
                             std::optional<std::string> token = std::nullopt);
    // call() with the token of a fresh teacher login.
    rapidjson::Document callLoggedIn(const std::string& name, const std::string& body = "");
    std::string login(const std::string& username = "teacher", const std::string& password = "1234");
    httplib::Result get(const std::string& path);
    // The path of an absolute URL of this server; fails the test for any other URL.
    std::string pathOf(const std::string& url) const;

    courseware::CoursewareServer server;
    std::optional<httplib::Client> client;
    std::string teacherToken;
};

// Tolerant reads, so a reply of the wrong shape fails an expectation instead of an assertion inside RapidJSON.
const rapidjson::Value& at(const rapidjson::Value& object, const char* key);
const rapidjson::Value& at(const rapidjson::Value& array, int index);
int intOf(const rapidjson::Value& object, const char* key);            // -99999 when absent or not an int
std::string stringOf(const rapidjson::Value& object, const char* key); // "<absent>" when absent or not a string
inline int codeOf(const rapidjson::Value& reply) {
    return intOf(reply, "code");
}
// Elements of an array; -1 when the value is no array.
inline long countOf(const rapidjson::Value& array) {
    return array.IsArray() ? static_cast<long>(array.Size()) : -1;
}

// Names of the entries of a zip, from its central directory; empty when it is not a zip.
std::vector<std::string> zipEntryNames(const std::string& zip);
