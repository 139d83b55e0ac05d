#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/LifeToken.h"
#include "common/PlistManager.h"
#include "net/HttpManager.h"
#include "scene/Scene.h"
#include "scenes/LoginScene.h"
#include "support/ClientTest.h"
#include "support/LocalHttpServer.h"
#include "ui/Button.h"

namespace {

using support::findByName;

class HttpManagerTest : public support::ClientTest {
protected:
    void SetUp() override {
        support::ClientTest::SetUp();
        support::runScene(BaseScene::create());
    }

    // Sends a request whose reply is counted; the callbacks record what they received.
    void send(const std::string& name, std::map<std::string, std::string> fields = {}, bool closeLoading = true,
              HttpFailureCallback onFailure = nullptr) {
        HttpManager::getInstance()->sendRequest(
            name,
            [this](const std::string& replyName, rapidjson::Value& data) {
                successNames.push_back(replyName);
                dataWasNull = data.IsNull();
            },
            closeLoading, "union", onFailure, std::move(fields));
    }

    // Steps until the server has answered and the reply was handled (the loading panel goes with it).
    void waitForReply() {
        ASSERT_TRUE(waitFor([] { return HttpManager::getInstance()->getLoadingPanel() == nullptr; }));
        support::stepFrames(2);
    }

    // Sends a request of that name to a server that answers it with body.
    void deliver(const std::string& name, const std::string& body) {
        support::LocalHttpServer replies([body](httplib::Server& routes) {
            routes.Post(".*", [body](const httplib::Request&, httplib::Response& reply) {
                reply.set_content(body, "application/json");
            });
        });
        HttpManager::getInstance()->baseUrl = replies.url("/");
        send(name);
        waitForReply();
    }

    void useFault(const std::string& kind) {
        HttpManager::getInstance()->baseUrl = server.origin() + "/fault/" + kind + "/";
    }

    std::vector<std::string> successNames;
    bool dataWasNull = false;
};

TEST(HttpFormBody, FieldsGoInKeyOrderPercentEncoded) {
    EXPECT_EQ(HttpManager::encodeForm({{"typeCode", "1"}, {"gradeCode", "3"}}), "gradeCode=3&typeCode=1");
    EXPECT_EQ(HttpManager::encodeForm({}), "");
    EXPECT_EQ(HttpManager::encodeForm({{"classId", "12"}}), "classId=12");
    EXPECT_EQ(HttpManager::encodeForm({{"p", "a&b=c+d%e f"}}), "p=a%26b%3Dc%2Bd%25e%20f");
    EXPECT_EQ(HttpManager::encodeForm({{"score", R"([{"id":1}])"}}), "score=%5B%7B%22id%22%3A1%7D%5D");
    EXPECT_EQ(HttpManager::encodeForm({{"name", "\xE7\x8F\xAD-_.~"}}), "name=%E7%8F%AD-_.~");
}

TEST_F(HttpManagerTest, PostsTheFormWithTheTokenHeader) {
    send("login", {{"username", "teacher"}, {"password", "1234"}});
    waitForReply();
    const auto logins = requestsNamed("login");
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0].token, "");
    EXPECT_EQ(logins[0].field("username"), "teacher");
    EXPECT_EQ(logins[0].field("password"), "1234");
    EXPECT_EQ(successNames, std::vector<std::string>{"login"});

    HttpManager::getInstance()->token = "demo-token-1";
    send("getClassList");
    waitForReply();
    const auto lists = requestsNamed("getClassList");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].token, "demo-token-1");
    EXPECT_TRUE(lists[0].fields.empty());
}

TEST_F(HttpManagerTest, AWrongPasswordShowsTheServerMessage) {
    send("login", {{"username", "teacher"}, {"password", "a&b=c+%"}});
    waitForReply();
    ASSERT_EQ(requestsNamed("login").size(), 1u);
    EXPECT_EQ(requestsNamed("login")[0].field("password"), "a&b=c+%");
    EXPECT_TRUE(successNames.empty());
    EXPECT_FALSE(tipText().empty());
}

TEST_F(HttpManagerTest, ServerDownShowsTheConnectionTip) {
    HttpManager::getInstance()->baseUrl = closedBaseUrl();
    send("login", {{"username", "teacher"}, {"password", "1234"}});
    waitForReply();
    EXPECT_EQ(tipText(), PlistManager::getInstance()->getText("HttpStr1"));
    EXPECT_TRUE(logged("error buffer: "));
    EXPECT_TRUE(successNames.empty());
}

TEST_F(HttpManagerTest, AFailedTransferReachesTheFailureCallbackInsteadOfATip) {
    HttpManager::getInstance()->baseUrl = closedBaseUrl();
    std::vector<int32_t> codes;
    std::vector<std::string> messages;
    auto onFailure = [&](int32_t code, const std::string& message) {
        codes.push_back(code);
        messages.push_back(message);
    };
    send("getClassList", {}, false, onFailure);
    ASSERT_TRUE(waitFor([&] { return codes.size() == 1; }));
    EXPECT_EQ(codes[0], -1);
    EXPECT_EQ(messages[0], PlistManager::getInstance()->getText("HttpStr1"));
    EXPECT_EQ(findByName("BgImage1"), nullptr);

    useFault("http500");
    send("getClassList", {}, false, onFailure);
    ASSERT_TRUE(waitFor([&] { return codes.size() == 2; }));
    EXPECT_EQ(codes[1], 500);
    // Our text, not the transport's ("HTTP status 500" goes to the log).
    EXPECT_EQ(messages[1], "The server sent a bad reply to getClassList.");
    EXPECT_EQ(findByName("BgImage1"), nullptr);
    HttpManager::getInstance()->removeLoading();
}

TEST_F(HttpManagerTest, HttpErrorStatusShowsTheBadReplyTip) {
    useFault("http500");
    send("getClassList");
    waitForReply();
    EXPECT_EQ(tipText(), "The server sent a bad reply to getClassList.");
    EXPECT_TRUE(logged("error buffer: "));
    EXPECT_TRUE(successNames.empty());
}

TEST_F(HttpManagerTest, ARepliesThatIsNotAnObjectShowsTheFormatTipWithTheName) {
    for (const char* kind : {"notjson", "array"}) {
        SCOPED_TRACE(kind);
        support::runScene(BaseScene::create());
        useFault(kind);
        send("getClassList");
        waitForReply();
        std::string expected = PlistManager::getInstance()->getText("HttpStr2");
        expected.replace(expected.find("%s"), 2, "getClassList");
        EXPECT_EQ(tipText(), expected);
        EXPECT_TRUE(successNames.empty());
    }
}

TEST_F(HttpManagerTest, FormatTipNeverUsesTheNameAsAFormat) {
    deliver("get%s%n%d", "<html>");
    std::string expected = PlistManager::getInstance()->getText("HttpStr2");
    expected.replace(expected.find("%s"), 2, "get%s%n%d");
    EXPECT_EQ(tipText(), expected);
}

TEST_F(HttpManagerTest, SuccessWithoutDataHandsOverNull) {
    useFault("nodata");
    send("getClassList");
    waitForReply();
    EXPECT_EQ(successNames, std::vector<std::string>{"getClassList"});
    EXPECT_TRUE(dataWasNull);
    EXPECT_EQ(tipText(), "");
}

TEST_F(HttpManagerTest, NonZeroStatusGoesToTheFailureCallbackOrATip) {
    useFault("status5");
    send("getClassList");
    waitForReply();
    EXPECT_TRUE(successNames.empty());
    EXPECT_EQ(tipText(), "x");

    support::runScene(BaseScene::create());
    int failedCode = -1;
    std::string failedMessage;
    send("getStudentList", {{"classId", "1"}}, true, [&](int32_t code, const std::string& message) {
        failedCode = code;
        failedMessage = message;
    });
    waitForReply();
    EXPECT_EQ(failedCode, 0);
    EXPECT_EQ(failedMessage, "x");
    EXPECT_EQ(tipText(), "");
}

TEST_F(HttpManagerTest, RepliesWithMistypedMembersTakeTheFailurePath) {
    deliver("a", R"({"code":"0","status":0,"msg":"m1","data":{}})");
    EXPECT_TRUE(successNames.empty());
    EXPECT_EQ(tipText(), "m1");

    support::runScene(BaseScene::create());
    deliver("b", R"({"code":0,"status":0.5,"msg":"m2"})");
    EXPECT_EQ(tipText(), "m2");

    // A message that is no text, or empty, gives our own text rather than an empty tip.
    for (const char* reply :
         {R"({"code":3,"status":0,"msg":7})", R"({"code":3,"status":0,"msg":""})", R"({"code":401,"status":0})"}) {
        SCOPED_TRACE(reply);
        support::runScene(BaseScene::create());
        deliver("c", reply);
        EXPECT_EQ(tipText(), "The server sent a bad reply to c.");
    }
}

TEST_F(HttpManagerTest, AnUnreadableReplyReachesTheFailureCallbackAsAFailedTransferDoes) {
    std::vector<std::pair<int32_t, std::string>> failures;
    const auto onFailure = [&](int32_t code, const std::string& message) { failures.emplace_back(code, message); };
    for (const char* kind : {"notjson", "array", "deep", "huge"}) {
        SCOPED_TRACE(kind);
        failures.clear();
        useFault(kind);
        send("getCourseList", {}, false, onFailure);
        ASSERT_TRUE(waitFor([&] { return !failures.empty(); }));
        EXPECT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].first, 200);
        EXPECT_EQ(failures[0].second, "The server sent a bad reply to getCourseList.");
        EXPECT_TRUE(successNames.empty());
        EXPECT_EQ(tipText(), "");
        HttpManager::getInstance()->removeLoading();
    }
    // The 17 MB reply was not read to its end, let alone parsed.
    EXPECT_TRUE(logged("error reply to getCourseList: longer than 16777216 bytes"));
    EXPECT_EQ(countLogged("request http response"), 0);
}

TEST_F(HttpManagerTest, TheLogGetsTheStartOfAReplyAndNeverTheToken) {
    logIn();
    const std::string token = HttpManager::getInstance()->token;
    ASSERT_FALSE(token.empty());
    for (const std::string& line : logLines) {
        EXPECT_EQ(line.find(token), std::string::npos) << line;
    }
    EXPECT_TRUE(logged(R"("token":"***")"));

    logLines.clear();
    deliver("getClassList", R"({"code":0,"status":0,"data":")" + std::string(5000, 'a') + R"("})");
    ASSERT_EQ(countLogged("request http response : "), 1);
    for (const std::string& line : logLines) {
        EXPECT_LE(line.size(), 1100u);
    }
    EXPECT_TRUE(logged("... (5031 bytes)"));
}

TEST_F(HttpManagerTest, NotLoggedInOnTheLoginSceneOnlyShowsTheTip) {
    useFault("code401");
    auto* login = LoginScene::create();
    support::runScene(login);
    // The login scene asks for "version" when it has entered; a 401 answer used to open a new login scene, which
    // asked again.
    ASSERT_TRUE(waitFor([] { return !tipText().empty(); }));
    EXPECT_EQ(tipText(), "Please log in again.");
    ASSERT_TRUE(support::click("Button1"));
    support::stepFrames(10);
    EXPECT_EQ(engine::Director::getInstance()->getRunningScene(), login);
    EXPECT_EQ(tipText(), "");
    EXPECT_EQ(requestsNamed("version").size(), 1u);
}

TEST_F(HttpManagerTest, NotLoggedInLeadsBackToLogin) {
    useFault("code401");
    send("getClassList");
    waitForReply();
    EXPECT_EQ(tipText(), "Please log in again.");
    ASSERT_TRUE(support::click("Button2"));
    ASSERT_TRUE(waitFor(
        [] { return dynamic_cast<LoginScene*>(engine::Director::getInstance()->getRunningScene()) != nullptr; }));
}

TEST_F(HttpManagerTest, EachRequestOfANameHearsItsOwn401) {
    useFault("code401");
    expectTip("page");
    expectTip("kept");
    std::vector<std::string> heard;
    for (const char* sender : {"page", "kept"}) {
        HttpManager::getInstance()->sendRequest("saveScore", nullptr, true, "union", nullptr, {}, [&heard, sender] {
            heard.push_back(sender);
            return std::string(sender);
        });
    }
    ASSERT_TRUE(waitFor([&] { return heard.size() == 2; }));
    EXPECT_EQ(heard, (std::vector<std::string>{"page", "kept"}));
}

TEST_F(HttpManagerTest, AnExpiredTokenIsRefusedWithCode401) {
    HttpManager::getInstance()->token = "not-a-live-token";
    send("getClassList");
    waitForReply();
    EXPECT_TRUE(successNames.empty());
    ASSERT_TRUE(support::click("Button1"));
    ASSERT_TRUE(waitFor(
        [] { return dynamic_cast<LoginScene*>(engine::Director::getInstance()->getRunningScene()) != nullptr; }));
}

TEST_F(HttpManagerTest, TheLoadingPanelFollowsTheLatestFlag) {
    HttpManager* http = HttpManager::getInstance();
    expectTip("Your session has ended."); // no token for the class list
    send("getClassList");
    ASSERT_NE(http->getLoadingPanel(), nullptr);
    EXPECT_EQ(http->getLoadingPanel()->getParent(), engine::Director::getInstance()->getRunningScene());
    EXPECT_EQ(http->getLoadingPanel()->getLocalZOrder(), 105);
    waitForReply();
    EXPECT_EQ(findByName("PosNode"), nullptr);

    send("version", {{"id", "10"}}, false);
    engine::Node* kept = http->getLoadingPanel();
    ASSERT_TRUE(waitFor([&] { return !successNames.empty() && successNames.back() == "version"; }));
    EXPECT_EQ(http->getLoadingPanel(), kept);
    EXPECT_NE(findByName("PosNode"), nullptr);
    http->removeLoading();
    EXPECT_EQ(findByName("PosNode"), nullptr);
}

TEST_F(HttpManagerTest, TheLoadingPanelSwallowsTouches) {
    auto* button = engine::ui::Button::create();
    button->setContentSize(engine::Size(200, 100));
    button->ignoreContentAdaptWithSize(false);
    button->setPosition(engine::Vec2(640, 360));
    int clicks = 0;
    button->addClickEventListener([&](engine::Ref*) { ++clicks; });
    engine::Director::getInstance()->getRunningScene()->addChild(button);
    support::stepFrames(1);
    support::tapAt(engine::Vec2(640, 360));
    ASSERT_EQ(clicks, 1);

    send("version", {{"id", "10"}}, false);
    support::stepFrames(1);
    support::tapAt(engine::Vec2(640, 360));
    EXPECT_EQ(clicks, 1);
    HttpManager::getInstance()->removeLoading();
    support::tapAt(engine::Vec2(640, 360));
    EXPECT_EQ(clicks, 2);
}

TEST_F(HttpManagerTest, TheLoadingPanelSurvivesItsSceneGoing) {
    send("version", {{"id", "10"}}, false);
    ASSERT_NE(HttpManager::getInstance()->getLoadingPanel(), nullptr);
    support::runScene(BaseScene::create());
    support::stepFrames(3);
    ASSERT_TRUE(waitFor([&] { return !successNames.empty(); }));
    HttpManager::getInstance()->removeLoading();
    EXPECT_EQ(HttpManager::getInstance()->getLoadingPanel(), nullptr);
}

TEST_F(HttpManagerTest, KnowsWhichRequestsStillAwaitTheirReply) {
    HttpManager* http = HttpManager::getInstance();
    EXPECT_FALSE(http->isAwaitingReply("version"));
    send("version", {{"id", "10"}});
    send("version", {{"id", "13"}});
    EXPECT_TRUE(http->isAwaitingReply("version"));
    EXPECT_FALSE(http->isAwaitingReply("login"));
    // Another reply taking the shared panel down says nothing about these requests.
    http->removeLoading();
    EXPECT_TRUE(http->isAwaitingReply("version"));
    ASSERT_TRUE(waitFor([&] { return successNames.size() == 2; }));
    EXPECT_FALSE(http->isAwaitingReply("version"));

    // A failed transfer ends the wait too.
    http->baseUrl = closedBaseUrl();
    send("login");
    EXPECT_TRUE(http->isAwaitingReply("login"));
    ASSERT_TRUE(waitFor([&] { return !tipText().empty(); }));
    EXPECT_FALSE(http->isAwaitingReply("login"));
}

TEST_F(HttpManagerTest, AReplyNeverReachesASenderThatHasGone) {
    int calls = 0;
    {
        auto owner = std::make_unique<LifeToken>();
        HttpManager::getInstance()->sendRequest("version",
                                                owner->guard([&](const std::string&, rapidjson::Value&) { ++calls; }),
                                                true, "union", nullptr, {{"id", "10"}});
    }
    waitForReply();
    EXPECT_EQ(requestsNamed("version").size(), 1u);
    EXPECT_EQ(calls, 0);
}

TEST_F(HttpManagerTest, NoRunningSceneSkipsThePanel) {
    engine::Director::getInstance()->reset();
    support::startHeadless();
    HttpManager::getInstance()->showLoading();
    EXPECT_EQ(HttpManager::getInstance()->getLoadingPanel(), nullptr);
    EXPECT_TRUE(logged("no running scene"));
}

} // namespace
