// An HTTP request handed to HttpClient::send.
#pragma once

#include <functional>
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

private:
    std::string _url;
    Type _type = Type::GET;
    std::vector<std::string> _headers;
    std::vector<char> _data;
    size_t _maxResponseSize = 0;
    std::string _tag;
    ResponseCallback _callback;
};

} // namespace engine::network
