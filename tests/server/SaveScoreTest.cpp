#include "ServerTest.h"

#include <cctype>

namespace {

const std::string kScore = R"([{"studentId":1001,"isSign":1,"score":3,"gameTime":42,"gameScore":2},)"
                           R"({"studentId":1002,"isSign":0,"score":-1,"gameTime":0,"gameScore":0}])";

std::string body(const std::string& score) {
    return "classId=101&gradeCode=1&lesson=2&phaseCode=1&score=" + score + "&subjectCode=1&typeCode=1";
}

std::string percentEncode(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
            out += static_cast<char>(c);
        } else {
            out += {'%', hex[c >> 4], hex[c & 15]};
        }
    }
    return out;
}

} // namespace

using SaveScore = ServerTest;

TEST_F(SaveScore, AcceptedScoresAreRecordedWithTheirRows) {
    auto reply = callLoggedIn("saveScore", body(kScore));
    ASSERT_EQ(codeOf(reply), 0) << stringOf(reply, "msg");
    EXPECT_TRUE(at(reply, "data").IsObject());
    auto scores = server.scores();
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_EQ(scores[0].request.token, teacherToken);
    EXPECT_EQ(scores[0].request.field("lesson"), "2");
    EXPECT_EQ(scores[0].request.field("score"), kScore);
    ASSERT_EQ(scores[0].rows.size(), 2u);
    EXPECT_EQ(scores[0].rows[0].studentId, 1001);
    EXPECT_EQ(scores[0].rows[0].isSign, 1);
    EXPECT_EQ(scores[0].rows[0].gameTime, 42);
    EXPECT_EQ(scores[0].rows[1].score, -1);
}

TEST_F(SaveScore, PercentEncodedScoreIsRecordedLikeTheRawOne) {
    ASSERT_EQ(codeOf(callLoggedIn("saveScore", body(percentEncode(kScore)))), 0);
    ASSERT_EQ(codeOf(callLoggedIn("saveScore", body("[]"))), 0);
    auto scores = server.scores();
    ASSERT_EQ(scores.size(), 2u);
    EXPECT_EQ(scores[0].request.field("score"), kScore);
    EXPECT_EQ(scores[0].rows.size(), 2u);
    EXPECT_TRUE(scores[1].rows.empty());
}

TEST_F(SaveScore, ResultsNotWrittenToTheLetterAreRefusedAndNotRecorded) {
    const char* wrong[] = {
        R"([{"studentId":1,"isSign":1,"score":3,"gameTime":4,"gameScore":5} ])",
        R"([{"isSign":1,"studentId":1,"score":3,"gameTime":4,"gameScore":5}])",
        R"([{"studentId":1,"isSign":true,"score":3,"gameTime":4,"gameScore":5}])",
        R"([{"studentId":1,"isSign":2,"score":3,"gameTime":4,"gameScore":5}])",
        R"([{"studentId":1,"isSign":1,"score":3.5,"gameTime":4,"gameScore":5}])",
        R"([{"studentId":1,"isSign":1,"score":3,"gameTime":4}])",
        R"({"studentId":1})",
        "",
    };
    for (const char* score : wrong) {
        auto reply = callLoggedIn("saveScore", body(score));
        EXPECT_NE(codeOf(reply), 0) << score;
        EXPECT_NE(stringOf(reply, "msg").find("\"score\""), std::string::npos) << stringOf(reply, "msg");
    }
    EXPECT_TRUE(server.scores().empty());
}

using RequestRecords = ServerTest;

TEST_F(RequestRecords, EveryRequestIsRecordedWithFieldsAndToken) {
    call("version", "id=13", "");
    call("getClassList", "zone=1", std::nullopt);
    std::string token = login();
    call("getStudentList", "classId=101", token);
    post("/fault/notjson/union/getUI", "institutionId=1", token);
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[0].name, "version");
    EXPECT_EQ(requests[0].token, "");
    EXPECT_EQ(requests[1].name, "getClassList");
    EXPECT_EQ(requests[1].field("zone"), "1");
    EXPECT_EQ(requests[2].field("username"), "teacher");
    EXPECT_EQ(requests[3].token, token);
    courseware::FormFields expected = {{"classId", "101"}};
    EXPECT_EQ(requests[3].fields, expected);
    EXPECT_EQ(requests[4].name, "getUI");
    server.clearRecords();
    EXPECT_TRUE(server.requests().empty());
}
