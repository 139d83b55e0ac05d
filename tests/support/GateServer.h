// A loopback server that holds back "/held.bin" until the test opens the gate, so that a download is certain to
// be running (or to finish late) when the test wants it.
#pragma once

#include <future>
#include <mutex>
#include <string>

#include "support/LocalHttpServer.h"

namespace support {

class GateServer {
public:
    GateServer();
    // Opens the gate first, so that a held request does not keep the server from stopping.
    ~GateServer();
    GateServer(const GateServer&) = delete;
    GateServer& operator=(const GateServer&) = delete;

    // Lets every held request, and any later one, have its 3000 bytes; opening twice does nothing more.
    void open();
    std::string url() const { return _server.url("/held.bin"); }

private:
    std::promise<void> _gate;
    std::shared_future<void> _opened = _gate.get_future().share();
    std::once_flag _once;
    // Last: it stops and joins its handlers before the gate they wait on goes.
    LocalHttpServer _server;
};

} // namespace support
