#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include "support/Headless.h"

namespace support {

LocalHttpServer::LocalHttpServer(const std::function<void(httplib::Server&)>& routes) {
    routes(_server);
    _port = _server.bind_to_any_port("127.0.0.1");
    EXPECT_GT(_port, 0) << "no free port on 127.0.0.1";
    if (_port <= 0) {
        return;
    }
    _thread = std::thread([this] { _server.listen_after_bind(); });
    // stop() is a no-op until the accept loop runs.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kWaitGuardSeconds);
    while (!_server.is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
}

LocalHttpServer::~LocalHttpServer() {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _stopping = true;
    }
    _condition.notify_all();
    _server.stop();
    if (_thread.joinable()) {
        _thread.join();
    }
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(_port) + path;
}

void LocalHttpServer::waitUntilStopping(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(_mutex);
    _condition.wait_for(lock, limit, [this] { return _stopping; });
}

} // namespace support
