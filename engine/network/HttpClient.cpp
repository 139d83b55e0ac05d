#include "network/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <string>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "network/CurlGlobal.h"
#include "network/HttpRequest.h"
#include "network/HttpResponse.h"

namespace engine::network {

namespace {

HttpClient* s_instance = nullptr;
bool s_shutdownHookRegistered = false;

size_t appendBody(char* data, size_t size, size_t count, void* userData) {
    auto* response = static_cast<HttpResponse*>(userData);
    std::vector<char>* body = response->getResponseData();
    const size_t length = size * count;
    const size_t limit = response->getHttpRequest()->getMaxResponseSize();
    if (limit != 0 && length > limit - std::min(limit, body->size())) {
        response->setTooLarge(true);
        return 0; // stops the transfer
    }
    body->insert(body->end(), data, data + length);
    return length;
}

// What stops a transfer: the client going, or its request dropped. libcurl asks before it sends the request, so a
// request dropped while it waited in the queue is never sent.
struct StopCheck {
    const std::atomic<bool>* stopping;
    const HttpRequest* request;
};

int checkStopping(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* check = static_cast<const StopCheck*>(userData);
    return check->stopping->load() || check->request->isDropped() ? 1 : 0;
}

// libcurl drops "name:" with no value; "name;" makes it send the empty header.
std::string toCurlHeader(const std::string& header) {
    size_t colon = header.find(':');
    if (colon == std::string::npos || header.find_first_not_of(" \t", colon + 1) != std::string::npos) {
        return header;
    }
    return header.substr(0, colon) + ";";
}

} // namespace

HttpClient* HttpClient::getInstance() {
    if (s_instance == nullptr) {
        // The director runs each hook once, at its shutdown; a later client registers again.
        if (!s_shutdownHookRegistered) {
            s_shutdownHookRegistered = true;
            Director::getInstance()->addShutdownHook([] {
                s_shutdownHookRegistered = false;
                HttpClient::destroyInstance();
            });
        }
        s_instance = new HttpClient();
    }
    return s_instance;
}

void HttpClient::destroyInstance() {
    HttpClient* client = s_instance;
    s_instance = nullptr;
    delete client;
}

HttpClient::HttpClient() : _alive(std::make_shared<bool>(true)) {
    ensureCurlGlobalInit();
    _worker = std::thread(&HttpClient::workerLoop, this);
}

HttpClient::~HttpClient() {
    *_alive = false;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _stopping = true;
    }
    _condition.notify_all();
    if (_worker.joinable()) {
        _worker.join();
    }
    // The waiting requests, and the one the worker gave back when it stopped.
    for (HttpResponse* response : _queue) {
        response->release();
    }
}

void HttpClient::send(HttpRequest* request) {
    if (request == nullptr) {
        log("HttpClient: send(null) ignored");
        return;
    }
    auto* response = new HttpResponse(request);
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _queue.push_back(response);
    }
    _condition.notify_one();
}

void HttpClient::workerLoop() {
    while (true) {
        HttpResponse* response = nullptr;
        {
            std::unique_lock<std::mutex> lock(_mutex);
            _condition.wait(lock, [this] { return _stopping || !_queue.empty(); });
            if (_stopping) {
                return;
            }
            response = _queue.front();
            _queue.pop_front();
        }
        perform(response);
        // Cut short by destroyInstance: handed back so the main thread releases it with the queue.
        if (_stopping) {
            std::lock_guard<std::mutex> lock(_mutex);
            _queue.push_back(response);
            return;
        }
        deliver(response);
    }
}

void HttpClient::perform(HttpResponse* response) {
    const HttpRequest* request = response->getHttpRequest();
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        response->setErrorBuffer("curl_easy_init failed");
        return;
    }

    curl_slist* headers = nullptr;
    for (const std::string& header : request->getHeaders()) {
        headers = curl_slist_append(headers, toCurlHeader(header).c_str());
    }
    // No 100-continue round trip before larger bodies.
    headers = curl_slist_append(headers, "Expect:");

    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, request->getUrl().c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(_timeoutForConnect.load()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(_timeoutForRead.load()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, response);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkStopping);
    StopCheck stopCheck{&_stopping, request};
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &stopCheck);
    if (request->getRequestType() == HttpRequest::Type::POST) {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request->getRequestDataSize()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request->getRequestDataSize() ? request->getRequestData() : "");
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }

    CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    response->setResponseCode(status == 0 ? -1 : status);
    if (response->isTooLarge()) {
        response->setErrorBuffer("reply longer than " + std::to_string(request->getMaxResponseSize()) + " bytes");
    } else if (result != CURLE_OK) {
        response->setErrorBuffer(errorBuffer[0] ? errorBuffer : curl_easy_strerror(result));
    } else if (status < 200 || status >= 300) {
        response->setErrorBuffer("HTTP status " + std::to_string(status));
    } else {
        response->setSucceed(true);
    }

    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
}

void HttpClient::deliver(HttpResponse* response) {
    std::shared_ptr<bool> alive = _alive;
    Director::getInstance()->getScheduler()->performFunctionInMainThread([alive, this, response] {
        if (*alive) {
            // A copy: the callback may drop the last reference the caller holds elsewhere.
            HttpRequest::ResponseCallback callback = response->getHttpRequest()->getResponseCallback();
            if (callback) {
                callback(this, response);
            }
        }
        response->release();
    });
}

} // namespace engine::network
