#include "hostile/samples/DownloadSamples.h"

#include <httplib.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "base/Log.h"
#include "net/DownManager.h"
#include "net/SqManager.h"
#include "support/Headless.h"
#include "support/LocalHttpServer.h"

// The resolver's header, through httplib, names a reply code so.
#undef REFUSED

namespace hostile {

namespace {

namespace fs = std::filesystem;

struct Body {
    uint64_t bytes = 0;
    bool announced = false;
    std::string path;
};

Body bodyOf(const std::string& sample) {
    Body body;
    std::istringstream in(sample);
    in >> body.bytes >> body.announced >> body.path;
    return body;
}

void serve(httplib::Server& server, const Body& body) {
    static const std::string kPiece(64 * 1024, '\0');
    server.Get("/body", [body](const httplib::Request&, httplib::Response& res) {
        const auto piece = [body](size_t offset, httplib::DataSink& sink) {
            return sink.write(kPiece.data(), std::min<uint64_t>(kPiece.size(), body.bytes - offset));
        };
        if (body.announced) {
            res.set_content_provider(body.bytes, "application/octet-stream",
                                     [piece](size_t offset, size_t, httplib::DataSink& sink) {
                                         return piece(offset, sink);
                                     });
            return;
        }
        res.set_chunked_content_provider("application/octet-stream", [body, piece](size_t offset,
                                                                                   httplib::DataSink& sink) {
            if (offset >= body.bytes) {
                sink.done();
                return true;
            }
            return piece(offset, sink);
        });
    });
}

bool arrivedWhole(const Body& body) {
    std::error_code ec;
    return fs::file_size(body.path, ec) == body.bytes && !ec;
}

} // namespace

Make servedBody(uint64_t bytes, bool announced, const char* name) {
    return [=](const std::string& dir) {
        return std::to_string(bytes) + " " + (announced ? "1" : "0") + " " + dir + "/" + name;
    };
}

Run downloadFile() {
    return [](const std::string& sample) {
        const Body body = bodyOf(sample);
        support::LocalHttpServer server([&body](httplib::Server& s) { serve(s, body); });
        DownManager* down = DownManager::getInstance();
        bool finished = false;
        bool succeeded = false;
        down->downloadFile({"", server.url("/body"), body.path, "body"});
        down->finishCallback = [&](const std::string&, bool ok) {
            finished = true;
            succeeded = ok;
        };
        const bool ended = support::waitFor([&] { return finished; });
        DownManager::destroyInstance();
        return ended && succeeded && arrivedWhole(body) ? Outcome::PASSES : Outcome::REFUSED;
    };
}

Run downloadUpdater() {
    return [](const std::string& sample) {
        const Body body = bodyOf(sample);
        support::LocalHttpServer server([&body](httplib::Server& s) { serve(s, body); });
        bool failed = false;
        engine::setLogSink([&failed](const std::string& line) { failed |= line.find("Downloader: ") == 0; });
        DownManager::getInstance()->downloadUpdater({"", server.url("/body"), body.path, "updater"});
        support::waitFor([&] { return failed || arrivedWhole(body); });
        engine::setLogSink(nullptr);
        const bool whole = arrivedWhole(body);
        // The arrived body is queued for its extraction: not this row's.
        DownManager::destroyInstance();
        SqManager::destroyInstance();
        return whole ? Outcome::PASSES : Outcome::REFUSED;
    };
}

} // namespace hostile
