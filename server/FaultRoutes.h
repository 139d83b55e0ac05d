// "/fault/<kind>/union/<name>": broken replies for testing the client's request service; "/fault/<kind>/files/…":
// broken files for its downloads.
#pragma once

#include <functional>
#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace courseware {

class DataFolder;

class FaultRoutes {
public:
    // record is called with every request and its name, as for the real routes.
    using Recorder = std::function<void(const httplib::Request&, const std::string& name)>;
    // Answers a request of that name as the real routes do.
    using Passthrough = std::function<void(const std::string& name, const httplib::Request&, httplib::Response&)>;

    // Request kinds: notjson, array, deep (nested 100,000 levels), huge (17 MB), status5, code401, http500, nodata,
    // cut (the connection drops after the headers), badcodes (a course list whose lecture codes are no integers),
    // notmovie and the movie-like kinds (a course file list naming
    // the file of its kind below). File kinds: notmovie, notpicture (a short HTML page each), huge (17 MB), hugepng
    // and hugesvg (pictures that claim 30000x30000 pixels), scanjpeg (a JPEG of 2000 scans, 24 KB), surpluspng (a
    // PNG of 16x16 whose 1 MB of data inflates to 1 GB); zipbomb (30 entries of 100 MB of zeros under the file's
    // own name, in 3 MB);
    // movie-like: freehtml (a 26-byte "free" box, then HTML), ftyp (that box alone), ftypjunk, mkvjunk, oggjunk
    // (the magic, then junk), tssync (377 transport-stream sync bytes), halfmovie (the demo movie without its index,
    // cut in half), hugemovie (a real H.264 movie of 8192x8192); endless (chunked bytes until the client goes); redirect (to itself, each hop recorded).
    // http<status> (http301, http403, http404, http502, http503, ...): that status with a short HTML page.
    // stall: 503, for a "gradeCode" above 1 only after a GET of "/fault/release" (or a minute).
    static void install(httplib::Server& server, const DataFolder& data, Recorder record, Passthrough pass);
};

} // namespace courseware
