#include "support/GateServer.h"

namespace support {

GateServer::GateServer()
    : _server([this](httplib::Server& server) {
          server.Get("/held.bin", [this](const httplib::Request&, httplib::Response& res) {
              _opened.wait();
              res.set_content(std::string(3000, 'h'), "application/octet-stream");
          });
          server.Get("/half.bin", [this](const httplib::Request&, httplib::Response& res) {
              res.set_content_provider(3000, "application/octet-stream",
                                       [this](size_t offset, size_t, httplib::DataSink& sink) {
                                           if (offset >= 1500) {
                                               _opened.wait();
                                           }
                                           const std::string piece(offset < 1500 ? 1500 - offset : 3000 - offset, 'h');
                                           return sink.write(piece.data(), piece.size());
                                       });
          });
      }) {}

GateServer::~GateServer() {
    open();
}

void GateServer::open() {
    std::call_once(_once, [this] { _gate.set_value(); });
}

} // namespace support
