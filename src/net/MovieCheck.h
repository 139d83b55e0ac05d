// One movie file checked by MovieFile::isPlayable on a thread of its own while the frames go on.
#pragma once

#include <memory>
#include <string>

class MovieCheck {
public:
    // Starts the check of the file at path (found through the search paths); what names it in the log. A file that
    // passed a check in this process and is unchanged since (inode, size, time of its last write) is not checked
    // again.
    MovieCheck(const std::string& path, std::string what);
    // Does not wait: a check still running ends on its own thread, and its file is left as it is.
    ~MovieCheck() = default;

    MovieCheck(const MovieCheck&) = delete;
    MovieCheck& operator=(const MovieCheck&) = delete;

    bool isDone() const;
    // Waits for the end. A file that is no movie is removed, with the log line "<what> is not a movie: <path>", so
    // that it is fetched again. True when the file is kept.
    bool finish();

private:
    struct Run;

    const std::string _path;
    const std::string _what;
    // Shared with the checking thread, which outlives the check when the caller goes first.
    std::shared_ptr<Run> _run;
};
