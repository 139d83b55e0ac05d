// One zip extraction running on its own thread while the frames go on.
#pragma once

#include <atomic>
#include <string>
#include <thread>

class UnzipJob {
public:
    // Extracts zipPath into folder; a courseware package (identify not empty) replaces its folder whole.
    UnzipJob(std::string zipPath, std::string folder, std::string identify);
    // Waits for the thread.
    ~UnzipJob();

    UnzipJob(const UnzipJob&) = delete;
    UnzipJob& operator=(const UnzipJob&) = delete;

    bool isDone() const { return _done.load(std::memory_order_acquire); }
    // Waits for the end and gives the result.
    bool result();
    const std::string& zipPath() const { return _zipPath; }

private:
    void run();

    const std::string _zipPath;
    const std::string _folder;
    const std::string _identify;
    bool _ok = false;
    std::atomic<bool> _done{false};
    std::thread _thread;
};
