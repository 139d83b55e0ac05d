// The outcome of one HttpRequest, handed to its callback on the main thread.
#pragma once

#include <string>
#include <vector>

#include "base/Ref.h"

namespace engine::network {

class HttpRequest;

class HttpResponse : public Ref {
public:
    // Retains the request until the response is gone.
    explicit HttpResponse(HttpRequest* request);
    ~HttpResponse() override;

    HttpRequest* getHttpRequest() const { return _request; }

    // True only when the transfer completed with a 2xx status.
    bool isSucceed() const { return _succeed; }
    // The HTTP status, or -1 when no HTTP answer came (refused, DNS failure, time-out).
    long getResponseCode() const { return _responseCode; }
    // The raw body; not NUL-terminated.
    std::vector<char>* getResponseData() { return &_responseData; }
    // The body passed the request's limit and was cut off there; the transfer counts as failed.
    bool isTooLarge() const { return _tooLarge; }
    // The transfer's error text; "" on success.
    const char* getErrorBuffer() const { return _errorBuffer.c_str(); }

    void setSucceed(bool succeed) { _succeed = succeed; }
    void setResponseCode(long code) { _responseCode = code; }
    void setErrorBuffer(const std::string& text) { _errorBuffer = text; }
    void setTooLarge(bool tooLarge) { _tooLarge = tooLarge; }

private:
    HttpRequest* _request = nullptr;
    bool _succeed = false;
    long _responseCode = -1;
    bool _tooLarge = false;
    std::vector<char> _responseData;
    std::string _errorBuffer;
};

} // namespace engine::network
