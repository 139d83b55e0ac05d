// One-time libcurl initialisation shared by the HTTP client and the downloader.
#pragma once

namespace engine::network {

// Thread-safe; the first call initialises libcurl for the whole process.
void ensureCurlGlobalInit();

} // namespace engine::network
