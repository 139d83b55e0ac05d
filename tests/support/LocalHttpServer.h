// A cpp-httplib server on a free port of 127.0.0.1, running on its own thread for one test.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace support {

class LocalHttpServer {
public:
    explicit LocalHttpServer(const std::function<void(httplib::Server&)>& routes);
    // Releases handlers parked in waitUntilStopping, stops the server and joins it.
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const { return _port; }
    std::string url(const std::string& path) const;

    // For handlers that hold a reply back: returns when the server stops or after the limit.
    void waitUntilStopping(std::chrono::milliseconds limit);

private:
    httplib::Server _server;
    std::thread _thread;
    int _port = -1;
    std::mutex _mutex;
    std::condition_variable _condition;
    bool _stopping = false;
};

} // namespace support
