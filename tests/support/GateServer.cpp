#include "support/GateServer.h"

namespace support {

GateServer::GateServer()
    : _server([this](httplib::Server& server) {
          server.Get("/held.bin", [this](const httplib::Request&, httplib::Response& res) {
              _opened.wait();
              res.set_content(std::string(3000, 'h'), "application/octet-stream");
          });
      }) {}

GateServer::~GateServer() {
    open();
}

void GateServer::open() {
    std::call_once(_once, [this] { _gate.set_value(); });
}

} // namespace support
