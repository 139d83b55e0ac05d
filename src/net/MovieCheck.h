// One movie file checked by MovieFile::isPlayable on a thread of its own while the frames go on.
#pragma once

#include <atomic>
#include <string>
#include <thread>

class MovieCheck {
public:
    // Starts the check of the file at path (found through the search paths); what names it in the log.
    MovieCheck(const std::string& path, std::string what);
    // Waits for the thread.
    ~MovieCheck();

    MovieCheck(const MovieCheck&) = delete;
    MovieCheck& operator=(const MovieCheck&) = delete;

    bool isDone() const { return _done.load(std::memory_order_acquire); }
    // Waits for the end. A file that is no movie is removed, with the log line "<what> is not a movie: <path>", so
    // that it is fetched again. True when the file is kept.
    bool finish();

private:
    const std::string _path;
    const std::string _what;
    bool _playable = false;
    std::atomic<bool> _done{false};
    std::thread _thread;
};
