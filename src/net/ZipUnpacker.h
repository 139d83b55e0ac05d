// Extracts a whole zip archive into a folder, all or nothing.
#pragma once

#include <functional>
#include <string>

// The entries are written into a hidden staging folder beside the target ("." + zip name + ".part") and moved into
// the target only when every entry was written, so a failed or interrupted extraction leaves no partial folder in
// place. Entries with unsafe names and special files (links, devices) are skipped with a log line. Of several
// entries with one name the last wins. Large archives are extracted by a few worker threads, each with its own
// reader; the call returns when all of them are done.
class ZipUnpacker {
public:
    // True when every entry that was not skipped is in place under folder. An empty folder is refused.
    static bool unpack(const std::string& zipPath, const std::string& folder);

    // Test hook: runs after each entry written to the staging folder with the number written so far. It may run
    // on a worker thread.
    static void setEntryHook(std::function<void(int)> hook);

private:
    // Moves everything under from into to: missing items are renamed in, folders are merged, files and links
    // are replaced (never followed). A folder in the way of a file is a failure.
    static bool publish(const std::string& from, const std::string& to);
};
