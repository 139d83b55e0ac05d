#include "support/VirtualDisplay.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace support {

bool VirtualDisplay::installed() {
    return std::system("command -v Xvfb > /dev/null") == 0;
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
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // The server goes with this thread, also when the test is killed or aborts.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(127);
        }
        close(fds[0]);
        dup2(open(_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its number and a line end once it serves the display.
    std::string number;
    char c = 0;
    while (pid > 0 && number.size() < 8 && read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (pid > 0 && c == '\n' && !number.empty()) {
        _pid = pid;
        _display = ":" + number;
    } else if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

VirtualDisplay::~VirtualDisplay() {
    if (_pid > 0) {
        kill(_pid, SIGTERM);
        waitpid(_pid, nullptr, 0);
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
