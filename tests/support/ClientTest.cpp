#include "support/ClientTest.h"

#include <chrono>
#include <filesystem>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "base/Log.h"
#include "common/GDataManager.h"
#include "common/JsonManager.h"
#include "lesson/UnsentResults.h"
#include "net/HttpManager.h"
#include "platform/FileUtils.h"
#include "ui/Text.h"

namespace support {

void ClientTest::SetUp() {
    HeadlessTest::SetUp();
    auto* files = engine::FileUtils::getInstance();
    _oldRoot = files->getDefaultResourceRootPath();
    _oldSearchPaths = files->getSearchPaths();
    std::filesystem::create_directories(resRoot());
    files->setDefaultResourceRootPath(programFolder());
    files->setSearchPaths({programFolder(), TEST_PROGRAM_DIR "/"});
    for (const char* folder : {"Plist/", "Layouts/", "Images/", "Animations/", "Sounds/"}) {
        files->addSearchPath(std::string(TEST_PROGRAM_DIR "/") + folder);
    }
    GDataManager::getInstance()->init();
    engine::setLogSink([this](const std::string& line) { logLines.push_back(line); });
    ASSERT_GT(server.start(), 0);
    HttpManager::destroyInstance();
    HttpManager::getInstance()->baseUrl = server.baseUrl();
    support::setWaitWatch([this] { return _failures.next(logLines); });
}

void ClientTest::TearDown() {
    HeadlessTest::TearDown();
    HttpManager::destroyInstance();
    UnsentResults::forget();
    server.stop();
    engine::setLogSink(nullptr);
    GDataManager::getInstance()->init();
    auto* files = engine::FileUtils::getInstance();
    files->setDefaultResourceRootPath(_oldRoot);
    files->setSearchPaths(_oldSearchPaths);
}

bool ClientTest::waitFor(const std::function<bool()>& condition, double guardSeconds) {
    return support::waitFor(condition, guardSeconds);
}

std::string ClientTest::tipText() { return support::tipText(); }

int ClientTest::countLogged(const std::string& text) const {
    int count = 0;
    for (const std::string& line : logLines) {
        count += line.find(text) != std::string::npos ? 1 : 0;
    }
    return count;
}

std::vector<courseware::RecordedRequest> ClientTest::requestsNamed(const std::string& name) const {
    std::vector<courseware::RecordedRequest> found;
    for (const auto& request : server.requests()) {
        if (request.name == name) {
            found.push_back(request);
        }
    }
    return found;
}

void ClientTest::logIn(const std::string& user, const std::string& password) {
    bool done = false;
    HttpManager* http = HttpManager::getInstance();
    http->sendRequest("login",
                      [&](const std::string&, rapidjson::Value& data) {
                          http->token = JsonManager::getInstance()->getString(data, "token");
                          const int institution = JsonManager::getInstance()->getInt(data, "institutionId");
                          if (institution > 0) {
                              GDataManager::getInstance()->institutionId = institution;
                          }
                          done = true;
                      },
                      true, "union", nullptr, {{"password", password}, {"username", user}});
    ASSERT_TRUE(waitFor([&] { return done; }));
    server.clearRecords();
}

std::string ClientTest::closedBaseUrl() {
    // Bind a free port, then let it go: nothing listens there afterwards.
    int port = 0;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        close(fd);
    }
    return "http://127.0.0.1:" + std::to_string(port) + "/api/";
}

} // namespace support
