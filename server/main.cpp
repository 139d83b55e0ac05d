// courseware-server --port N --data DIR: the demo courseware server until SIGINT or SIGTERM.
#include "CoursewareServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr, "usage: courseware-server [--port N] [--data DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int port = 8765;
    std::filesystem::path data = courseware::CoursewareServer::defaultDataDir();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            port = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
            data = argv[++i];
        } else {
            return usage();
        }
    }
    if (port < 0 || port > 65535) {
        return usage();
    }

    if (!std::filesystem::exists(data / "institution.json")) {
        std::fprintf(stderr, "courseware-server: no catalogue in %s\n", data.c_str());
        return 1;
    }

    // Block the stop signals before the server's threads exist, so only sigwait below sees them. A shell starts
    // background jobs with SIGINT ignored, which would discard it.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    courseware::CoursewareServer server(data);
    if (server.start(port) < 0) {
        std::fprintf(stderr, "courseware-server: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("listening on %s\n", server.baseUrl().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    server.stop();
    return 0;
}
