#include "network/CurlGlobal.h"

#include <curl/curl.h>

#include <mutex>

namespace engine::network {

void ensureCurlGlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace engine::network
