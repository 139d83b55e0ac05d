// An HTTP request handed to HttpClient::send.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Ref.h"

namespace engine::network {

class HttpClient;
class HttpResponse;

class HttpRequest : public Ref {
public:
    enum class Type { GET, POST };
    using ResponseCallback = std::function<void(HttpClient* client, HttpResponse* response)>;

    HttpRequest() = default;

    void setUrl(const std::string& url) { _url = url; }
    const std::string& getUrl() const { return _url; }

    void setRequestType(Type type) { _type = type; }
    Type getRequestType() const { return _type; }

    // "name: value" lines; "name:" with no value is sent as an empty header.
    void setHeaders(const std::vector<std::string>& headers) { _headers = headers; }
    const std::vector<std::string>& getHeaders() const { return _headers; }

    // The POST body, sent byte for byte.
    void setRequestData(const char* data, size_t length);
    const char* getRequestData() const { return _data.data(); }
    size_t getRequestDataSize() const { return _data.size(); }

    // A reply body longer than this is not read further: the transfer fails and the response says it was too
    // large. 0 reads any length.
    void setMaxResponseSize(size_t bytes) { _maxResponseSize = bytes; }
    size_t getMaxResponseSize() const { return _maxResponseSize; }

    void setTag(const char* tag) { _tag = tag ? tag : ""; }
    const char* getTag() const { return _tag.c_str(); }

    void setResponseCallback(const ResponseCallback& callback) { _callback = callback; }
    const ResponseCallback& getResponseCallback() const { return _callback; }

    // Once the flag is set the reply is no longer wanted: the request is not sent if it still waits, its transfer
    // stops if under way. The callback still runs (the response failed), so the sender can tell it apart.
    void setDropFlag(std::shared_ptr<const std::atomic<bool>> flag) { _dropFlag = std::move(flag); }
    bool isDropped() const { return _dropFlag && _dropFlag->load(); }

private:
    std::string _url;
    Type _type = Type::GET;
    std::vector<std::string> _headers;
    std::vector<char> _data;
    size_t _maxResponseSize = 0;
    std::string _tag;
    ResponseCallback _callback;
    std::shared_ptr<const std::atomic<bool>> _dropFlag;
};

} // namespace engine::network
