#include "network/HttpRequest.h"

namespace engine::network {

void HttpRequest::setRequestData(const char* data, size_t length) {
    if (data == nullptr) {
        length = 0;
    }
    _data.assign(data, data + length);
}

} // namespace engine::network
