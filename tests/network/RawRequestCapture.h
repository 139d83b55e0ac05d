// A bare TCP listener on 127.0.0.1 that records the bytes of one HTTP request exactly as they came
// (cpp-httplib drops empty header values) and answers it with a small 200 reply.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class RawRequestCapture {
public:
    RawRequestCapture();
    ~RawRequestCapture();

    int port() const { return _port; }
    std::string url(const std::string& path) const;
    // The request head and body, once answered; "" before.
    std::string request();

private:
    void serveOne();

    int _listener = -1;
    int _port = 0;
    std::atomic<bool> _stopping{false};
    std::thread _thread;
    std::mutex _mutex;
    std::string _request;
};
