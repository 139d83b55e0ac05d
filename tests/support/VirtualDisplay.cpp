#include "support/VirtualDisplay.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <vector>

namespace support {

namespace {

bool connectsTo(const std::string& socketPath) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    const bool connected = fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return connected;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

} // namespace

bool VirtualDisplay::installed() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && access((folder + "/Xvfb").c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

VirtualDisplay::VirtualDisplay(const std::string& screen) {
    static int made = 0;
    _log = (std::filesystem::temp_directory_path() /
            ("xvfb_" + std::to_string(getpid()) + "_" + std::to_string(++made) + ".log"))
               .string();
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    // The write end on a fixed descriptor of the server's own, clear of whatever else it opens early.
    constexpr int kDisplayFd = 9;
    // No reset when the probe below leaves, which would be the server's last client.
    std::vector<std::string> words = {
        "Xvfb", "-displayfd", std::to_string(kDisplayFd), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"};
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    // The server goes with this thread, also when the test is killed or aborts.
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(127);
        }
        close(fds[0]);
        if (fds[1] != kDisplayFd) {
            dup2(fds[1], kDisplayFd);
            close(fds[1]);
        }
        const int log = open(_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, STDERR_FILENO);
        }
        execvp("Xvfb", argv.data());
        _exit(127);
    }
    close(fds[1]);
    // The number, then a line end the server writes apart: the pipe stays open until it is read.
    std::string number;
    char c = 0;
    while (pid > 0 && number.size() < 8 && read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (c != '\n' || number.empty()) {
        if (pid > 0) {
            stop(pid);
        }
        return;
    }
    // It names the display before it serves it.
    const std::string socketPath = "/tmp/.X11-unix/X" + std::to_string(std::atoi(number.c_str()));
    for (int tries = 0; tries < 100; ++tries) {
        if (connectsTo(socketPath)) {
            _pid = pid;
            _display = ":" + std::to_string(std::atoi(number.c_str()));
            return;
        }
        usleep(50000);
    }
    stop(pid);
}

VirtualDisplay::~VirtualDisplay() {
    if (_pid > 0) {
        stop(_pid);
    }
    if (!_keep) {
        std::error_code ignored;
        std::filesystem::remove(_log, ignored);
    }
}

bool VirtualDisplay::running() const {
    return _pid > 0 && waitpid(_pid, nullptr, WNOHANG) == 0;
}

} // namespace support
