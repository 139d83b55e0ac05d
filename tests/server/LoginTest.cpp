#include "ServerTest.h"

using Login = ServerTest;

TEST_F(Login, TeacherGetsTokenLogoAndInstitution) {
    auto reply = call("login", "password=1234&username=teacher", "");
    ASSERT_EQ(codeOf(reply), 0);
    EXPECT_EQ(intOf(reply, "status"), 0);
    EXPECT_EQ(stringOf(reply, "msg"), "");
    const auto& data = at(reply, "data");
    std::string token = stringOf(data, "token");
    EXPECT_NE(token, "");
    EXPECT_EQ(stringOf(data, "logo"), server.origin() + "/files/logo/riverside_logo.png");
    EXPECT_EQ(intOf(data, "institutionId"), 1);
    EXPECT_EQ(codeOf(call("getClassList", "", token)), 0);
}

TEST_F(Login, EveryLoginGetsItsOwnLiveToken) {
    std::string first = login();
    std::string second = login();
    EXPECT_NE(first, second);
    EXPECT_EQ(codeOf(call("getClassList", "", first)), 0);
    EXPECT_EQ(codeOf(call("getClassList", "", second)), 0);
}

TEST_F(Login, WrongAccountOrPasswordAnswersCodeOne) {
    for (const char* body :
         {"password=4321&username=teacher", "password=1234&username=nobody", "password=&username="}) {
        auto reply = call("login", body, "");
        EXPECT_EQ(codeOf(reply), 1) << body;
        EXPECT_EQ(intOf(reply, "status"), 0) << body;
        EXPECT_EQ(stringOf(reply, "msg"), "Wrong account or password.") << body;
    }
}

TEST_F(Login, ExpiredAccountLogsInButLaterRequestsAnswer401) {
    std::string token = login("expired", "1234");
    ASSERT_NE(token, "");
    EXPECT_EQ(codeOf(call("getClassList", "", token)), 401);
    EXPECT_EQ(codeOf(call("getStudentList", "classId=101", token)), 401);
}

TEST_F(Login, RequestsWithoutALiveTokenAnswer401) {
    login();
    EXPECT_EQ(codeOf(call("getClassList", "", std::nullopt)), 401);
    EXPECT_EQ(codeOf(call("getClassList", "", "")), 401);
    EXPECT_EQ(codeOf(call("getClassList", "", "demo-token-999")), 401);
    EXPECT_EQ(codeOf(call("getCourseIcon", "appId=9", "not-a-token")), 401);
}

TEST_F(Login, VersionIsAnsweredBeforeLogin) {
    // The login scene asks for the updater version with the empty token it has then.
    EXPECT_EQ(codeOf(call("version", "id=13", "")), 0);
    EXPECT_EQ(codeOf(call("version", "id=10", "demo-token-999")), 0);
}
