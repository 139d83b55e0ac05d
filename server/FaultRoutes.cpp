#include "FaultRoutes.h"

#include <httplib.h>

#include <algorithm>
#include <memory>
#include <string>

#include "FaultPictures.h"

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
            auto body = std::make_shared<std::string>(R"({"code":0,"status":0,"data":")");
            body->append(17u * 1024 * 1024, 'a');
            body->append(R"("})");
            res.set_content_provider(body->size(), "application/json",
                                     [body](size_t offset, size_t length, httplib::DataSink& sink) {
                                         return sink.write(body->data() + offset, std::min<size_t>(length, 65536));
                                     });
        } else if (kind == "nodata") {
            res.set_content(R"({"code":0,"status":0})", "application/json");
        } else if (kind == "notmovie") {
            // A course file list whose opening video is no movie.
            res.set_content(R"({"code":0,"status":0,"data":[{"type":5,"format":"mp4","url":"http://)" +
                                req.get_header_value("Host") + R"(/fault/notmovie/files/SumMovie.mp4"}]})",
                            "application/json");
        } else if (kind == "cut") {
            // The connection drops after the headers and part of the promised reply.
            res.set_content_provider(1024, "application/json", [](size_t, size_t, httplib::DataSink& sink) {
                sink.write(R"({"code":0,)", 10);
                return false;
            });
        } else {
            res.status = 404;
            res.set_content("Unknown fault " + kind, "text/plain");
        }
    });

    // Files that arrive whole with status 200 but are not what their names say.
    server.Get(R"(/fault/([a-z0-9]+)/files/.+)", [](const httplib::Request& req, httplib::Response& res) {
        const std::string kind = req.matches[1];
        if (kind == "notmovie") {
            res.set_content("<html><body>Moved to the new portal.</body></html>", "video/mp4");
        } else if (kind == "notpicture") {
            res.set_content("<html><body>Moved to the new portal.</body></html>", "image/png");
        } else if (kind == "hugepng") {
            res.set_content(FaultPictures::hugePng(), "image/png");
        } else if (kind == "hugesvg") {
            res.set_content(FaultPictures::hugeSvg(), "image/svg+xml");
        } else if (kind == "huge") {
            // 17 MB of nothing in particular, sent in pieces.
            const size_t size = 17u * 1024 * 1024;
            auto body = std::make_shared<std::string>(size, 'a');
            res.set_content_provider(size, "image/png", [body](size_t offset, size_t length, httplib::DataSink& sink) {
                return sink.write(body->data() + offset, std::min<size_t>(length, 65536));
            });
        } else {
            res.status = 404;
            res.set_content("Unknown fault " + kind, "text/plain");
        }
    });
}

} // namespace courseware
