// The door's bounded read of a whole file that came from outside (a layout, a property list, a kept file, a list an
// earlier run left): never more than the caller's cap is read, and a read that fails is told apart from a file that
// is missing or too long, so that a caller never takes a failed read for empty or damaged content.
#pragma once

#include <cstdint>
#include <string>

namespace engine::door {

struct FileRead {
    enum class Status {
        READ,      // bytes hold the whole file
        MISSING,   // no such file (or a folder)
        TOO_LONG,  // longer than the cap: nothing was read
        FAILED,    // open or read failed (error holds errno): the file may be whole, it could not be read now
    };
    Status status = Status::MISSING;
    std::string bytes;
    int error = 0;

    bool ok() const { return status == Status::READ; }
};

// Reads fullPath whole when it holds at most maxBytes, with one log line for every outcome but READ and MISSING.
FileRead readFile(const std::string& fullPath, uint64_t maxBytes);

} // namespace engine::door
