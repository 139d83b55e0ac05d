#include "ServerTest.h"

#include <fstream>
#include <iterator>

namespace {

std::string fileOnDisk(const std::string& relative) {
    std::ifstream in(courseware::CoursewareServer::defaultDataDir() / "files" / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

using FileRoutes = ServerTest;

TEST_F(FileRoutes, ServesFilesWithTheirLength) {
    std::string expected = fileOnDisk("heads/p1001.png");
    ASSERT_FALSE(expected.empty());
    auto result = get("/files/heads/p1001.png");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->body, expected);
    EXPECT_EQ(result->get_header_value("Content-Length"), std::to_string(expected.size()));
    EXPECT_EQ(result->get_header_value("Content-Type"), "image/png");
}

TEST_F(FileRoutes, UnknownFilesAndPathsOutsideTheFolderAnswer404) {
    EXPECT_EQ(get("/files/heads/nobody.png")->status, 404);
    EXPECT_EQ(get("/files/heads")->status, 404);
    EXPECT_EQ(get("/files/../institution.json")->status, 404);
    EXPECT_EQ(get("/files/heads/../../institution.json")->status, 404);
}

TEST_F(FileRoutes, MissingRouteAnswers404ForFilesThatExist) {
    EXPECT_EQ(get("/files/missing/heads/p1001.png")->status, 404);
    EXPECT_EQ(get("/files/missing/courseware/0101010101.zip")->status, 404);
}

TEST_F(FileRoutes, ChunkedRouteSendsTheFileWithoutContentLength) {
    std::string expected = fileOnDisk("courseware/0101010101.zip");
    ASSERT_GT(expected.size(), 4096u) << "a multi-chunk file is needed";
    auto result = get("/files/chunked/courseware/0101010101.zip");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_FALSE(result->has_header("Content-Length"));
    EXPECT_EQ(result->get_header_value("Transfer-Encoding"), "chunked");
    EXPECT_EQ(result->body, expected);
    EXPECT_EQ(get("/files/chunked/heads/nobody.png")->status, 404);
}

using FaultRoutes = ServerTest;

TEST_F(FaultRoutes, EachKindBreaksTheReplyItsWay) {
    auto body = [this](const std::string& kind) {
        auto result = post("/fault/" + kind + "/union/getClassList", "", "demo-token-1");
        return result ? std::to_string(result->status) + " " + result->body : "no answer";
    };
    EXPECT_EQ(body("notjson"), "200 <html>");
    EXPECT_EQ(body("array"), "200 [1]");
    EXPECT_EQ(body("status5"), R"(200 {"code":0,"status":5,"msg":"x"})");
    EXPECT_EQ(body("nodata"), R"(200 {"code":0,"status":0})");
    EXPECT_EQ(body("http500").substr(0, 4), "500 ");
    EXPECT_EQ(body("nosuchkind").substr(0, 4), "404 ");
    rapidjson::Document reply;
    reply.Parse(post("/fault/code401/union/login", "password=1&username=x", "")->body.c_str());
    EXPECT_EQ(codeOf(reply), 401);
    EXPECT_NE(stringOf(reply, "msg"), "");
}

using ServerLifecycle = ::testing::Test;

TEST_F(ServerLifecycle, StartsOnAFreePortAndStopsCleanly) {
    courseware::CoursewareServer first;
    courseware::CoursewareServer second;
    int port = first.start(0);
    ASSERT_GT(port, 0);
    ASSERT_GT(second.start(0), 0);
    EXPECT_NE(port, second.port());
    EXPECT_EQ(first.baseUrl(), "http://127.0.0.1:" + std::to_string(port) + "/api/");
    EXPECT_EQ(courseware::CoursewareServer().start(port), -1) << "the port is taken";
    first.stop();
    EXPECT_EQ(first.port(), -1);
    httplib::Client client("127.0.0.1", port);
    EXPECT_FALSE(client.Get("/files/heads/p1001.png"));
    ASSERT_GT(first.start(0), 0);
    EXPECT_EQ(httplib::Client("127.0.0.1", first.port()).Get("/files/heads/p1001.png")->status, 200);
}
