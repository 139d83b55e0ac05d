#include "FaultRoutes.h"

#include <httplib.h>

namespace courseware {

void FaultRoutes::install(httplib::Server& server, Recorder record) {
    server.Post(R"(/fault/([a-z0-9]+)/union/([^/]+))", [record](const httplib::Request& req, httplib::Response& res) {
        const std::string kind = req.matches[1];
        record(req, req.matches[2]);
        if (kind == "notjson") {
            res.set_content("<html>", "text/html");
        } else if (kind == "array") {
            res.set_content("[1]", "application/json");
        } else if (kind == "status5") {
            res.set_content(R"({"code":0,"status":5,"msg":"x"})", "application/json");
        } else if (kind == "code401") {
            res.set_content(R"({"code":401,"status":0,"msg":"Please log in again."})", "application/json");
        } else if (kind == "http500") {
            res.status = 500;
            res.set_content("Internal Server Error", "text/plain");
        } else if (kind == "deep") {
            res.set_content(R"({"code":0,"status":0,"data":)" + std::string(100000, '[') + std::string(100000, ']') +
                                "}",
                            "application/json");
        } else if (kind == "huge") {
            // A well-formed reply of 17 MB, sent in pieces.
            constexpr size_t kFiller = 17u * 1024 * 1024;
            const std::string head = R"({"code":0,"status":0,"data":")";
            const std::string tail = R"("})";
            res.set_content_provider(head.size() + kFiller + tail.size(), "application/json",
                                     [head, tail](size_t offset, size_t length, httplib::DataSink& sink) {
                                         std::string piece;
                                         for (size_t at = offset; at < offset + std::min<size_t>(length, 65536); ++at) {
                                             piece += at < head.size()             ? head[at]
                                                      : at < head.size() + kFiller ? 'a'
                                                                                   : tail[at - head.size() - kFiller];
                                         }
                                         return sink.write(piece.data(), piece.size());
                                     });
        } else if (kind == "nodata") {
            res.set_content(R"({"code":0,"status":0})", "application/json");
        } else {
            res.status = 404;
            res.set_content("Unknown fault " + kind, "text/plain");
        }
    });
}

} // namespace courseware
