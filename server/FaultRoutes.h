// "/fault/<kind>/union/<name>": broken replies for testing the client's request service; "/fault/<kind>/files/…":
// broken files for its downloads.
#pragma once

#include <functional>
#include <string>

namespace httplib {
class Server;
struct Request;
} // namespace httplib

namespace courseware {

class FaultRoutes {
public:
    // record is called with every request and its name, as for the real routes.
    using Recorder = std::function<void(const httplib::Request&, const std::string& name)>;

    // Request kinds: notjson, array, deep (nested 100,000 levels), huge (17 MB), status5, code401, http500, nodata,
    // cut (the connection drops after the headers), notmovie (a course file list naming the file below). File
    // kinds: notmovie, notpicture (a short HTML page each), huge (17 MB), hugepng and hugesvg (pictures that
    // claim 30000x30000 pixels).
    static void install(httplib::Server& server, Recorder record);
};

} // namespace courseware
