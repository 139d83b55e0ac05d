// "/files/…": the files the replies name, plus "/files/missing/…" (404), "/files/chunked/…" (no Content-Length)
// and "/files/trickle/…" (640 bytes a second).
#pragma once

#include "DataFolder.h"

namespace httplib {
class Server;
}

namespace courseware {

class FileRoutes {
public:
    static void install(httplib::Server& server, const DataFolder& data);
};

} // namespace courseware
