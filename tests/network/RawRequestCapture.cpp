#include "RawRequestCapture.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <strings.h>

namespace {

// Waits for fd to be readable, giving up when stopping is set.
bool waitReadable(int fd, const std::atomic<bool>& stopping) {
    pollfd entry{fd, POLLIN, 0};
    while (!stopping) {
        int ready = poll(&entry, 1, 50);
        if (ready > 0) {
            return true;
        }
        if (ready < 0) {
            return false;
        }
    }
    return false;
}

size_t contentLength(const std::string& head) {
    size_t pos = 0;
    while ((pos = head.find("\r\n", pos)) != std::string::npos) {
        pos += 2;
        if (strncasecmp(head.c_str() + pos, "Content-Length:", 15) == 0) {
            return std::strtoul(head.c_str() + pos + 15, nullptr, 10);
        }
    }
    return 0;
}

} // namespace

RawRequestCapture::RawRequestCapture() {
    _listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    listen(_listener, 4);
    socklen_t length = sizeof(address);
    getsockname(_listener, reinterpret_cast<sockaddr*>(&address), &length);
    _port = ntohs(address.sin_port);
    _thread = std::thread(&RawRequestCapture::serveOne, this);
}

RawRequestCapture::~RawRequestCapture() {
    _stopping = true;
    _thread.join();
    close(_listener);
}

std::string RawRequestCapture::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(_port) + path;
}

std::string RawRequestCapture::request() {
    std::lock_guard<std::mutex> lock(_mutex);
    return _request;
}

void RawRequestCapture::serveOne() {
    if (!waitReadable(_listener, _stopping)) {
        return;
    }
    int connection = accept(_listener, nullptr, nullptr);
    if (connection < 0) {
        return;
    }
    std::string received;
    size_t headEnd = std::string::npos;
    char buffer[4096];
    while (waitReadable(connection, _stopping)) {
        ssize_t count = read(connection, buffer, sizeof(buffer));
        if (count <= 0) {
            break;
        }
        received.append(buffer, static_cast<size_t>(count));
        if (headEnd == std::string::npos) {
            headEnd = received.find("\r\n\r\n");
        }
        if (headEnd != std::string::npos &&
            received.size() >= headEnd + 4 + contentLength(received.substr(0, headEnd))) {
            break;
        }
    }
    {
        // Kept before answering: the client may read it as soon as the reply is in.
        std::lock_guard<std::mutex> lock(_mutex);
        _request = received;
    }
    static const char reply[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
    (void)!write(connection, reply, sizeof(reply) - 1);
    close(connection);
}
