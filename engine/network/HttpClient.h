// The HTTP client: one libcurl worker serving requests in send order, callbacks on the main thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace engine::network {

class HttpRequest;
class HttpResponse;

class HttpClient {
public:
    static constexpr int DEFAULT_TIMEOUT_FOR_CONNECT = 30;
    static constexpr int DEFAULT_TIMEOUT_FOR_READ = 60;

    static HttpClient* getInstance();
    // Drops the waiting requests, stops the transfer in progress and joins the worker. No callback
    // runs after it, not even for replies that were already waiting for the main thread.
    static void destroyInstance();

    // Retains the request until its callback has run. The callback runs on the main thread in a later
    // frame, never inside this call.
    void send(HttpRequest* request);

    // Seconds; the read time-out limits the whole request.
    void setTimeoutForConnect(int seconds) { _timeoutForConnect = seconds; }
    int getTimeoutForConnect() const { return _timeoutForConnect; }
    void setTimeoutForRead(int seconds) { _timeoutForRead = seconds; }
    int getTimeoutForRead() const { return _timeoutForRead; }

private:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    void workerLoop();
    void perform(HttpResponse* response);
    void deliver(HttpResponse* response);

    std::thread _worker;
    std::mutex _mutex;
    std::condition_variable _condition;
    std::deque<HttpResponse*> _queue; // each holds its retained request
    std::atomic<bool> _stopping{false};
    std::atomic<int> _timeoutForConnect{DEFAULT_TIMEOUT_FOR_CONNECT};
    std::atomic<int> _timeoutForRead{DEFAULT_TIMEOUT_FOR_READ};
    // Read on the main thread by queued deliveries; false once this client is gone.
    std::shared_ptr<bool> _alive;
};

} // namespace engine::network
