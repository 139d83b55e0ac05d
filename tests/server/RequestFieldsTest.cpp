#include "ServerTest.h"

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

// The request table as the client must send it: every field, in key order.
const std::vector<std::pair<std::string, Fields>> kRequests = {
    {"login", {{"password", "1234"}, {"username", "teacher"}}},
    {"getCourseIcon", {{"appId", "9"}}},
    {"getCoursePermission", {}},
    {"getUI", {{"institutionId", "1"}}},
    {"getClassList", {}},
    {"getCourseList", {{"gradeCode", "1"}, {"subjectCode", "1"}, {"typeCode", "1"}}},
    {"getCourseFileList",
     {{"gradeCode", "1"}, {"lesson", "1"}, {"phaseCode", "1"}, {"subjectCode", "1"}, {"typeCode", "1"}}},
    {"getStudentList", {{"classId", "101"}}},
    {"getCourseQuestionList",
     {{"gradeCode", "1"}, {"lesson", "1"}, {"phaseCode", "1"}, {"subjectCode", "4"}, {"typeCode", "2"}}},
    {"saveScore",
     {{"classId", "101"},
      {"gradeCode", "1"},
      {"lesson", "1"},
      {"phaseCode", "1"},
      {"score", "[]"},
      {"subjectCode", "1"},
      {"typeCode", "1"}}},
    {"version", {{"id", "13"}}},
};

std::string join(const Fields& fields) {
    std::string body;
    for (const auto& [key, value] : fields) {
        body += (body.empty() ? "" : "&") + key + "=" + value;
    }
    return body;
}

bool names(const rapidjson::Value& reply, const std::string& field) {
    return stringOf(reply, "msg").find("\"" + field + "\"") != std::string::npos;
}

} // namespace

using RequestFields = ServerTest;

TEST_F(RequestFields, EveryRequestWithExactlyItsFieldsIsAccepted) {
    for (const auto& [name, fields] : kRequests) {
        auto reply = callLoggedIn(name, join(fields));
        EXPECT_EQ(codeOf(reply), 0) << name << ": " << stringOf(reply, "msg");
        EXPECT_EQ(intOf(reply, "status"), 0) << name;
    }
}

TEST_F(RequestFields, AMissingFieldIsRefusedNamingIt) {
    for (const auto& [name, fields] : kRequests) {
        for (size_t drop = 0; drop < fields.size(); ++drop) {
            Fields fewer = fields;
            fewer.erase(fewer.begin() + static_cast<long>(drop));
            auto reply = callLoggedIn(name, join(fewer));
            EXPECT_NE(codeOf(reply), 0) << name << " without " << fields[drop].first;
            EXPECT_TRUE(names(reply, fields[drop].first)) << name << ": " << stringOf(reply, "msg");
        }
    }
}

TEST_F(RequestFields, AnUnexpectedFieldIsRefusedNamingIt) {
    for (const auto& [name, fields] : kRequests) {
        Fields more = fields;
        more.emplace_back("zone", "1");
        auto reply = callLoggedIn(name, join(more));
        EXPECT_NE(codeOf(reply), 0) << name;
        EXPECT_TRUE(names(reply, "zone")) << name << ": " << stringOf(reply, "msg");
    }
    auto reply = callLoggedIn("getStudentList", "classId=101&token=x");
    EXPECT_TRUE(names(reply, "token")) << stringOf(reply, "msg");
}

TEST_F(RequestFields, FieldsOutOfKeyOrderOrRepeatedAreRefused) {
    auto reply = callLoggedIn("getCourseList", "typeCode=1&gradeCode=1&subjectCode=1");
    EXPECT_NE(codeOf(reply), 0);
    EXPECT_TRUE(names(reply, "gradeCode")) << stringOf(reply, "msg");
    reply = callLoggedIn("getStudentList", "classId=101&classId=102");
    EXPECT_NE(codeOf(reply), 0);
    EXPECT_TRUE(names(reply, "classId")) << stringOf(reply, "msg");
}

TEST_F(RequestFields, NumbersMustBeDecimalText) {
    for (const char* value : {"", "1.0", "01", "x1", "+1", " 1", "99999999999"}) {
        auto reply = callLoggedIn("getStudentList", std::string("classId=") + value);
        EXPECT_NE(codeOf(reply), 0) << "classId=" << value;
        EXPECT_TRUE(names(reply, "classId")) << stringOf(reply, "msg");
    }
    EXPECT_EQ(codeOf(callLoggedIn("getStudentList", "classId=-1")), 0);
}

TEST_F(RequestFields, VersionIdIsThirteenOrTen) {
    EXPECT_EQ(codeOf(call("version", "id=10", "")), 0);
    auto reply = call("version", "id=12", "");
    EXPECT_NE(codeOf(reply), 0);
    EXPECT_TRUE(names(reply, "id")) << stringOf(reply, "msg");
}

TEST_F(RequestFields, MalformedBodiesAndUnknownRequestsAreRefused) {
    for (const char* body : {"classId=101&", "&classId=101", "classId", "=101"}) {
        auto reply = callLoggedIn("getStudentList", body);
        EXPECT_NE(codeOf(reply), 0) << body;
        EXPECT_NE(stringOf(reply, "msg"), "") << body;
    }
    auto reply = callLoggedIn("getEverything", "");
    EXPECT_NE(codeOf(reply), 0);
    EXPECT_NE(stringOf(reply, "msg").find("getEverything"), std::string::npos);
}
