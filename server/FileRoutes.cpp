#include "FileRoutes.h"

#include <httplib.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

namespace courseware {

namespace {

constexpr size_t kChunkSize = 4096;

std::string contentType(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    if (extension == ".png") {
        return "image/png";
    }
    if (extension == ".zip") {
        return "application/zip";
    }
    if (extension == ".mp4") {
        return "video/mp4";
    }
    if (extension == ".mp3") {
        return "audio/mpeg";
    }
    return "application/octet-stream";
}

// The file's bytes, or nothing when it is not a readable regular file.
std::shared_ptr<std::string> readFile(const std::optional<std::filesystem::path>& path) {
    std::error_code error;
    if (!path || !std::filesystem::is_regular_file(*path, error)) {
        return nullptr;
    }
    std::ifstream in(*path, std::ios::binary);
    if (!in) {
        return nullptr;
    }
    return std::make_shared<std::string>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void notFound(httplib::Response& res) {
    res.status = 404;
    res.set_content("Not Found", "text/plain");
}

} // namespace

void FileRoutes::install(httplib::Server& server, const DataFolder& data) {
    server.Get(R"(/files/missing/.*)", [](const httplib::Request&, httplib::Response& res) { notFound(res); });

    server.Get(R"(/files/chunked/(.+))", [&data](const httplib::Request& req, httplib::Response& res) {
        auto path = data.servedFile(req.matches[1]);
        auto body = readFile(path);
        if (!body) {
            notFound(res);
            return;
        }
        res.set_chunked_content_provider(contentType(*path), [body](size_t offset, httplib::DataSink& sink) {
            if (offset < body->size()) {
                sink.write(body->data() + offset, std::min(kChunkSize, body->size() - offset));
            }
            if (offset + kChunkSize >= body->size()) {
                sink.done();
            }
            return true;
        });
    });

    // 64 bytes every 100 ms: a server that never stops but never gets anywhere.
    server.Get(R"(/files/trickle/(.+))", [&data](const httplib::Request& req, httplib::Response& res) {
        auto path = data.servedFile(req.matches[1]);
        auto body = readFile(path);
        if (!body) {
            notFound(res);
            return;
        }
        res.set_content_provider(body->size(), contentType(*path),
                                 [body](size_t offset, size_t length, httplib::DataSink& sink) {
                                     std::this_thread::sleep_for(std::chrono::milliseconds(100));
                                     return sink.write(body->data() + offset, std::min<size_t>(length, 64));
                                 });
    });

    server.Get(R"(/files/(.+))", [&data](const httplib::Request& req, httplib::Response& res) {
        auto path = data.servedFile(req.matches[1]);
        auto body = readFile(path);
        if (!body) {
            notFound(res);
            return;
        }
        res.set_content(*body, contentType(*path));
    });
}

} // namespace courseware
