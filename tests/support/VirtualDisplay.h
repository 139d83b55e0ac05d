// A virtual X display of its own (Xvfb on a display number it picks itself), for a real window where no display is
// set or the one set must not be used.
#pragma once

#include <sys/types.h>

#include <string>

namespace support {

class VirtualDisplay {
public:
    // Starts Xvfb with that screen ("WxHxDepth") and waits until it serves; started() tells whether it did.
    explicit VirtualDisplay(const std::string& screen = "1280x720x24");
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    static bool installed();
    bool started() const { return _pid > 0; }
    bool running() const;
    // ":N", for DISPLAY.
    const std::string& display() const { return _display; }
    pid_t pid() const { return _pid; }
    // The server's error output; removed with it unless keepLog() was called.
    const std::string& logPath() const { return _log; }
    void keepLog() { _keep = true; }

private:
    pid_t _pid = 0;
    std::string _display;
    std::string _log;
    bool _keep = false;
};

} // namespace support
