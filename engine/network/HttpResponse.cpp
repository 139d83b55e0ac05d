#include "network/HttpResponse.h"

#include "network/HttpRequest.h"

namespace engine::network {

HttpResponse::HttpResponse(HttpRequest* request) : _request(request) {
    if (_request) {
        _request->retain();
    }
}

HttpResponse::~HttpResponse() {
    if (_request) {
        _request->release();
    }
}

} // namespace engine::network
