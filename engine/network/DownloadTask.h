// One file download, as handed out by Downloader::createDownloadFileTask.
#pragma once

#include <string>

namespace engine::network {

class DownloadTask {
public:
    // errorCode values of Downloader::onTaskError. errorCodeInternal then holds the HTTP status or
    // libcurl's code (ERROR_NETWORK) or errno (ERROR_FILE_OP_FAILED).
    static constexpr int ERROR_NO_ERROR = 0;
    static constexpr int ERROR_INVALID_PARAMS = -1;
    static constexpr int ERROR_FILE_OP_FAILED = -2;
    static constexpr int ERROR_NETWORK = -3;

    std::string identifier;
    std::string requestURL;
    std::string storagePath;
};

} // namespace engine::network
