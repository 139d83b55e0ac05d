#include "FaultRoutes.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "DataFolder.h"
#include "FaultPictures.h"
#include "FaultZip.h"
#include "FormBody.h"

namespace courseware {

namespace {

// "http" and a status of three digits.
bool isStatusKind(const std::string& kind) {
    return kind.size() == 7 && kind.rfind("http", 0) == 0 &&
           std::all_of(kind.begin() + 4, kind.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Holds "stall" requests until "/fault/release".
struct StallGate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
};

// Bodies that start like a movie and are none.
const std::set<std::string> kMovieLike = {"freehtml", "ftyp",   "ftypjunk",  "mkvjunk",
                                          "oggjunk",  "tssync", "halfmovie", "hugemovie"};

std::string bigEndian32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string junk(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i * 31 + i / 256);
    }
    return bytes;
}

std::string servedBytes(const DataFolder& data, const std::string& relative) {
    std::string bytes;
    if (auto path = data.servedFile(relative)) {
        std::ifstream in(*path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return bytes;
}

// A movie whose index came at its end, cut in half: the demo movie without its "moov" box, half of the rest.
std::string halfMovie(const DataFolder& data) {
    const std::string movie = servedBytes(data, "coursefiles/SumMovie.mp4");
    std::string rest;
    for (size_t at = 0; at + 8 <= movie.size();) {
        const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(movie[at + i])); };
        const size_t size = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        if (size < 8) {
            break;
        }
        if (movie.compare(at + 4, 4, "moov") != 0) {
            rest += movie.substr(at, size);
        }
        at += size;
    }
    return rest.substr(0, rest.size() / 2);
}

std::string movieLikeBody(const std::string& kind, const DataFolder& data) {
    const std::string html = "<html><body>Moved to the new portal.</body></html>";
    const std::string ftyp = bigEndian32(32) + "ftypisom" + std::string("\0\0\2\0", 4) + "isomiso2avc1mp41";
    if (kind == "freehtml") {
        return bigEndian32(26) + "free" + std::string(18, '\0') + html;
    }
    if (kind == "ftyp") {
        return ftyp;
    }
    if (kind == "ftypjunk") {
        return ftyp + junk(4096);
    }
    if (kind == "mkvjunk") {
        return "\x1A\x45\xDF\xA3" + junk(4096);
    }
    if (kind == "oggjunk") {
        return "OggS" + junk(4096);
    }
    if (kind == "tssync") {
        return std::string(377, '\x47');
    }
    if (kind == "hugemovie") {
        return servedBytes(data, "faults/HugeMovie.mp4");
    }
    return halfMovie(data);
}

} // namespace

void FaultRoutes::install(httplib::Server& server, const DataFolder& data, Recorder record, Passthrough pass) {
    auto gate = std::make_shared<StallGate>();
    const auto fault = [record, gate](const httplib::Request& req, httplib::Response& res) {
        const std::string kind = req.matches[1];
        record(req, req.matches[2]);
        if (kind == "stall") {
            // One grade answers at once; the others as a server that hangs, until the test lets them go.
            if (intFieldValue(FormBody::parse(req.body).fields(), "gradeCode") > 1) {
                std::unique_lock<std::mutex> lock(gate->mutex);
                gate->opened.wait_for(lock, std::chrono::seconds(60), [&gate] { return gate->open; });
            }
            res.status = 503;
            res.set_content("Service Unavailable", "text/plain");
        } else if (isStatusKind(kind)) {
            // What a proxy in front of the server may answer: a redirect elsewhere, a refusal, a gateway error.
            res.status = std::stoi(kind.substr(4));
            if (res.status / 100 == 3) {
                res.set_header("Location", "https://" + req.get_header_value("Host") + req.path);
            }
            res.set_content("<html><body>" + kind.substr(4) + "</body></html>", "text/html");
        } else if (kind == "notjson") {
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
        } else if (kind == "badcodes") {
            // A course list whose lectures carry codes that are no integers, or a lesson code "text1" of letters.
            const std::string grade = std::to_string(intFieldValue(FormBody::parse(req.body).fields(), "gradeCode"));
            std::string items;
            int id = 900;
            for (const char* lesson : {R"("abc")", "1.5", "99999999999", "1"}) {
                const std::string text1 = std::string(lesson) == "1" ? "1ab" : "";
                items += std::string(items.empty() ? "" : ",") + R"({"id":)" + std::to_string(++id) +
                         R"(,"type":1,"subject":1,"grade":)" + grade + R"(,"phase":1,"lesson":)" + lesson +
                         R"(,"hash":"h","name":"Bad code","url":"/files/courseware/0101010101.zip","size":100,)" +
                         R"("version":"1","text1":")" + text1 + R"("})";
            }
            res.set_content(R"({"code":0,"status":0,"data":[)" + items + "]}", "application/json");
        } else if (kind == "nodata") {
            res.set_content(R"({"code":0,"status":0})", "application/json");
        } else if (kind == "notmovie" || kMovieLike.count(kind) != 0) {
            // A course file list whose opening video is no movie.
            res.set_content(R"({"code":0,"status":0,"data":[{"type":5,"format":"mp4","url":"http://)" +
                                req.get_header_value("Host") + "/fault/" + kind + R"(/files/SumMovie.mp4"}]})",
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
    };
    server.Post(R"(/fault/([a-z0-9]+)/union/([^/]+))", fault);
    // "/fault/<kind>/on/<request>/union/<name>": the fault for that one request, the real reply for the others.
    server.Post(R"(/fault/([a-z0-9]+)/on/([A-Za-z]+)/union/([^/]+))",
                [fault, pass](const httplib::Request& req, httplib::Response& res) {
                    if (req.matches[2] == req.matches[3]) {
                        fault(req, res);
                    } else {
                        pass(req.matches[3], req, res);
                    }
                });
    server.Get("/fault/release", [gate](const httplib::Request&, httplib::Response& res) {
        {
            std::lock_guard<std::mutex> lock(gate->mutex);
            gate->open = true;
        }
        gate->opened.notify_all();
        res.set_content("released", "text/plain");
    });

    // Files that arrive whole with status 200 but are not what their names say.
    server.Get(R"(/fault/([a-z0-9]+)/files/.+)", [data, record](const httplib::Request& req, httplib::Response& res) {
        const std::string kind = req.matches[1];
        if (kind == "notmovie") {
            res.set_content("<html><body>Moved to the new portal.</body></html>", "video/mp4");
        } else if (kMovieLike.count(kind) != 0) {
            res.set_content(movieLikeBody(kind, data), "video/mp4");
        } else if (kind == "endless") {
            // Bytes without end and without a length, until the client goes (or 256 MB, so a test always ends).
            res.set_chunked_content_provider("application/zip", [](size_t offset, httplib::DataSink& sink) {
                static const std::string piece(65536, 'z');
                return offset < (256u << 20) && sink.write(piece.data(), piece.size());
            });
        } else if (kind == "redirect") {
            // To itself, for good; every hop is recorded as "redirect".
            record(req, "redirect");
            res.set_redirect(req.path);
        } else if (kind == "notpicture") {
            res.set_content("<html><body>Moved to the new portal.</body></html>", "image/png");
        } else if (kind == "hugepng") {
            res.set_content(FaultPictures::hugePng(), "image/png");
        } else if (kind == "scanjpeg") {
            static const std::string jpeg = FaultPictures::manyScansJpeg(2000);
            res.set_content(jpeg, "image/jpeg");
        } else if (kind == "surpluspng") {
            static const std::string png = FaultPictures::surplusPng(16);
            res.set_content(png, "image/png");
        } else if (kind == "hugesvg") {
            res.set_content(FaultPictures::hugeSvg(), "image/svg+xml");
        } else if (kind == "zipbomb") {
            // Its entries under the file's own name: a package "<identify>.zip" holds "<identify>/".
            const std::string name = req.path.substr(req.path.find_last_of('/') + 1);
            res.set_content(FaultZip::zerosUnder(name.substr(0, name.find('.'))), "application/zip");
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
