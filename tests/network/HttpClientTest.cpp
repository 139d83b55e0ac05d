#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "NetworkTestSupport.h"
#include "RawRequestCapture.h"
#include "base/Director.h"
#include "network/HttpClient.h"
#include "network/HttpRequest.h"
#include "network/HttpResponse.h"
#include "support/Headless.h"
#include "support/LocalHttpServer.h"

using engine::network::HttpClient;
using engine::network::HttpRequest;
using engine::network::HttpResponse;
using support::LocalHttpServer;

namespace {

const std::thread::id g_mainThread = std::this_thread::get_id();

struct Reply {
    bool arrived = false;
    bool onMainThread = false;
    bool succeed = false;
    long code = 0;
    std::string body;
    std::string error;
    std::string tag;
};

HttpRequest* makeRequest(const std::string& url, HttpRequest::Type type, Reply* reply, const char* tag = "") {
    auto* request = new HttpRequest();
    request->setUrl(url);
    request->setRequestType(type);
    request->setTag(tag);
    request->setResponseCallback([reply](HttpClient*, HttpResponse* response) {
        reply->arrived = true;
        reply->onMainThread = std::this_thread::get_id() == g_mainThread;
        reply->succeed = response->isSucceed();
        reply->code = response->getResponseCode();
        reply->body.assign(response->getResponseData()->begin(), response->getResponseData()->end());
        reply->error = response->getErrorBuffer();
        reply->tag = response->getHttpRequest()->getTag();
    });
    return request;
}

void sendAndRelease(HttpRequest* request) {
    HttpClient::getInstance()->send(request);
    request->release();
}

// A port on which nothing listens: the socket is bound but never listening, so connects are refused.
class RefusingPort {
public:
    RefusingPort() {
        _fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        socklen_t length = sizeof(address);
        getsockname(_fd, reinterpret_cast<sockaddr*>(&address), &length);
        _port = ntohs(address.sin_port);
    }
    ~RefusingPort() { close(_fd); }
    int port() const { return _port; }

private:
    int _fd = -1;
    int _port = 0;
};

class HttpClientTest : public NetworkTest {};

} // namespace

TEST_F(HttpClientTest, PostBodyAndHeadersArriveAsSent) {
    std::mutex mutex;
    std::string receivedBody;
    std::string contentType;
    std::string custom;
    LocalHttpServer server([&](httplib::Server& s) {
        s.Post("/union/login", [&](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(mutex);
            receivedBody = req.body;
            contentType = req.get_header_value("Content-Type");
            custom = req.get_header_value("X-Client");
            res.set_content(std::string("ok\0raw", 6), "text/plain");
        });
    });

    // Bytes an encoder would touch, and a NUL.
    std::string body = "name=a%20b&score=1+2&x=";
    body.push_back('\0');
    body += std::string(5000, 'z') + "\xff\xfe&=";
    Reply reply;
    HttpRequest* request = makeRequest(server.url("/union/login"), HttpRequest::Type::POST, &reply, "login");
    request->setHeaders({"X-Client: classroom"});
    request->setRequestData(body.data(), body.size());
    sendAndRelease(request);

    ASSERT_TRUE(support::waitFor([&] { return reply.arrived; }));
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(receivedBody, body);
    EXPECT_EQ(contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(custom, "classroom");
    EXPECT_TRUE(reply.succeed);
    EXPECT_EQ(reply.code, 200);
    EXPECT_EQ(reply.body, std::string("ok\0raw", 6));
    EXPECT_EQ(reply.error, "");
    EXPECT_EQ(reply.tag, "login");
}

TEST_F(HttpClientTest, EmptyHeaderValueGoesOutAsAnEmptyHeader) {
    RawRequestCapture capture;
    Reply reply;
    HttpRequest* request = makeRequest(capture.url("/union/getClassList"), HttpRequest::Type::POST, &reply);
    request->setHeaders({"token:", "X-Client: classroom", "session:  "});
    // Large enough for libcurl to ask for 100-continue unless told not to.
    const std::string body = "a=" + std::string(2 * 1024 * 1024, '1');
    request->setRequestData(body.data(), body.size());
    sendAndRelease(request);

    ASSERT_TRUE(support::waitFor([&] { return reply.arrived; }));
    EXPECT_TRUE(reply.succeed);
    const std::string raw = capture.request();
    EXPECT_NE(raw.find("\r\ntoken:\r\n"), std::string::npos) << raw;
    EXPECT_NE(raw.find("\r\nsession:\r\n"), std::string::npos) << raw;
    EXPECT_NE(raw.find("\r\nX-Client: classroom\r\n"), std::string::npos) << raw;
    EXPECT_EQ(raw.find("Expect"), std::string::npos) << raw;
    ASSERT_GT(raw.size(), body.size() + 4);
    EXPECT_EQ(raw.substr(raw.size() - body.size() - 4), "\r\n\r\n" + body);
}

TEST_F(HttpClientTest, EmptyPostBodyIsSent) {
    std::atomic<bool> posted{false};
    std::atomic<size_t> length{1};
    LocalHttpServer server([&](httplib::Server& s) {
        s.Post("/empty", [&](const httplib::Request& req, httplib::Response& res) {
            length = req.body.size();
            posted = true;
            res.set_content("{}", "application/json");
        });
    });
    Reply reply;
    sendAndRelease(makeRequest(server.url("/empty"), HttpRequest::Type::POST, &reply));
    ASSERT_TRUE(support::waitFor([&] { return reply.arrived; }));
    EXPECT_TRUE(posted);
    EXPECT_EQ(length, 0u);
    EXPECT_TRUE(reply.succeed);
}

TEST_F(HttpClientTest, RefusedConnectionGivesMinusOneAndAnErrorText) {
    RefusingPort port;
    Reply reply;
    sendAndRelease(
        makeRequest("http://127.0.0.1:" + std::to_string(port.port()) + "/x", HttpRequest::Type::POST, &reply));
    ASSERT_TRUE(support::waitFor([&] { return reply.arrived; }));
    EXPECT_FALSE(reply.succeed);
    EXPECT_EQ(reply.code, -1);
    EXPECT_NE(reply.error, "");
}

TEST_F(HttpClientTest, ServerErrorIsAFailureWithItsStatus) {
    LocalHttpServer server([](httplib::Server& s) {
        s.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("boom", "text/plain");
        });
    });
    Reply reply;
    sendAndRelease(makeRequest(server.url("/broken"), HttpRequest::Type::GET, &reply));
    ASSERT_TRUE(support::waitFor([&] { return reply.arrived; }));
    EXPECT_FALSE(reply.succeed);
    EXPECT_EQ(reply.code, 500);
    EXPECT_EQ(reply.body, "boom");
}

TEST_F(HttpClientTest, TimeOutGivesMinusOne) {
    LocalHttpServer server([&](httplib::Server& s) {
        s.Get("/silent", [&](const httplib::Request&, httplib::Response& res) {
            server.waitUntilStopping(std::chrono::seconds(120));
            res.set_content("late", "text/plain");
        });
    });
    HttpClient::getInstance()->setTimeoutForRead(1);
    Reply reply;
    const auto start = std::chrono::steady_clock::now();
    sendAndRelease(makeRequest(server.url("/silent"), HttpRequest::Type::GET, &reply));
    ASSERT_TRUE(support::waitFor([&] { return reply.arrived; }));
    // The 1 s limit, not the usual 60 s.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_FALSE(reply.succeed);
    EXPECT_EQ(reply.code, -1);
    EXPECT_NE(reply.error, "");
}

TEST_F(HttpClientTest, CallbackRunsOnlyInALaterFrameStep) {
    LocalHttpServer server([](httplib::Server& s) {
        s.Get("/ping", [](const httplib::Request&, httplib::Response& res) { res.set_content("pong", "text/plain"); });
    });
    RefusingPort refused;
    Reply good;
    Reply bad;
    sendAndRelease(makeRequest(server.url("/ping"), HttpRequest::Type::GET, &good));
    sendAndRelease(makeRequest("http://127.0.0.1:" + std::to_string(refused.port()), HttpRequest::Type::GET, &bad));
    EXPECT_FALSE(good.arrived);
    EXPECT_FALSE(bad.arrived);
    ASSERT_TRUE(support::waitFor([&] { return good.arrived && bad.arrived; }));
    EXPECT_TRUE(good.onMainThread);
    EXPECT_TRUE(bad.onMainThread);
}

TEST_F(HttpClientTest, RepliesArriveInSendOrder) {
    // The first request is held until a second one reaches the server (or a short limit passes), so a
    // client that overlapped requests would answer out of order.
    std::mutex mutex;
    std::condition_variable arrivedCondition;
    int arrivedAtServer = 0;
    LocalHttpServer server([&](httplib::Server& s) {
        s.Get(R"(/item/(\d+))", [&](const httplib::Request& req, httplib::Response& res) {
            std::unique_lock<std::mutex> lock(mutex);
            ++arrivedAtServer;
            arrivedCondition.notify_all();
            if (req.matches[1] == "0") {
                arrivedCondition.wait_for(lock, std::chrono::milliseconds(300), [&] { return arrivedAtServer > 1; });
            }
            res.set_content(req.matches[1].str(), "text/plain");
        });
    });
    constexpr int kCount = 6;
    std::vector<std::string> order;
    for (int i = 0; i < kCount; ++i) {
        auto* request = new HttpRequest();
        request->setUrl(server.url("/item/" + std::to_string(i)));
        request->setRequestType(HttpRequest::Type::GET);
        request->setResponseCallback([&order](HttpClient*, HttpResponse* response) {
            order.emplace_back(response->getResponseData()->begin(), response->getResponseData()->end());
        });
        sendAndRelease(request);
    }
    ASSERT_TRUE(support::waitFor([&] { return order.size() == kCount; }));
    EXPECT_EQ(order, (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
}

TEST_F(HttpClientTest, DestroyInstanceCancelsWithoutCallbacks) {
    std::atomic<int> hits{0};
    LocalHttpServer server([&](httplib::Server& s) {
        s.Get("/hold", [&](const httplib::Request&, httplib::Response& res) {
            ++hits;
            server.waitUntilStopping(std::chrono::seconds(120));
            res.set_content("late", "text/plain");
        });
    });
    int callbacks = 0;
    std::vector<HttpRequest*> requests;
    for (int i = 0; i < 3; ++i) {
        auto* request = new HttpRequest();
        request->setUrl(server.url("/hold"));
        request->setResponseCallback([&callbacks](HttpClient*, HttpResponse*) { ++callbacks; });
        HttpClient::getInstance()->send(request);
        requests.push_back(request); // our reference stays, to see the client let go of its own
    }
    ASSERT_TRUE(support::waitFor([&] { return hits == 1; }));

    const auto start = std::chrono::steady_clock::now();
    HttpClient::destroyInstance();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    support::stepFrames(10);
    EXPECT_EQ(callbacks, 0);
    EXPECT_EQ(hits, 1);
    for (HttpRequest* request : requests) {
        EXPECT_EQ(request->getReferenceCount(), 1u);
        request->release();
    }
}

TEST_F(HttpClientTest, DirectorShutdownStopsTheClient) {
    LocalHttpServer server([](httplib::Server& s) {
        s.Get("/ping", [](const httplib::Request&, httplib::Response& res) { res.set_content("pong", "text/plain"); });
    });
    Reply first;
    sendAndRelease(makeRequest(server.url("/ping"), HttpRequest::Type::GET, &first));
    ASSERT_TRUE(support::waitFor([&] { return first.arrived; }));
    HttpClient* before = HttpClient::getInstance();
    before->setTimeoutForConnect(3);

    engine::Director::getInstance()->end();
    support::stepFrames(1);
    // A new client after shutdown starts with the default time-outs and works.
    engine::Director::getInstance()->reset();
    EXPECT_EQ(HttpClient::getInstance()->getTimeoutForConnect(), HttpClient::DEFAULT_TIMEOUT_FOR_CONNECT);
    Reply second;
    sendAndRelease(makeRequest(server.url("/ping"), HttpRequest::Type::GET, &second));
    ASSERT_TRUE(support::waitFor([&] { return second.arrived; }));
    EXPECT_EQ(second.body, "pong");
}
