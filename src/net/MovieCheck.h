// One movie file checked by MovieFile::isPlayable on a thread of its own while the frames go on.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace engine {
class Node;
}

class MovieCheck {
public:
    // What becomes of a file that is no movie: removed so that it is fetched again, or left (a package's own).
    enum class Refused { REMOVE, KEEP };

    // Starts the check of the file at path (found through the search paths); what names it in the log. A file that
    // passed or was refused (and left) in this process and is unchanged since (inode, size, time of its last write)
    // is not checked again.
    MovieCheck(const std::string& path, std::string what, Refused refused = Refused::REMOVE);
    // Does not wait: a check still running ends on its own thread, and its file is left as it is.
    ~MovieCheck() = default;

    MovieCheck(const MovieCheck&) = delete;
    MovieCheck& operator=(const MovieCheck&) = delete;

    // Checks the file at path for owner's screen and calls then(kept) on the main thread when the check ends: in
    // this call for a file that passed before and is unchanged, else in a later frame, unless owner is gone by
    // then. A call while owner has a check running does nothing and returns false.
    static bool whenChecked(engine::Node* owner, const std::string& path, std::string what, Refused refused,
                            std::function<void(bool kept)> then);

    bool isDone() const;
    // Waits for the end. A file that is no movie is logged "<what> is not a movie: <path>" and removed or left as
    // the constructor was told. True when the file may be played.
    bool finish();

private:
    struct Run;

    const std::string _path;
    const std::string _what;
    const Refused _refused;
    // Shared with the checking thread, which outlives the check when the caller goes first.
    std::shared_ptr<Run> _run;
};
