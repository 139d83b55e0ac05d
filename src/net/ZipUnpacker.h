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
    enum class ArchiveKind { PACKAGE, INTERFACE_PACK, UPDATER };

    // The door of every archive from outside: a package (a zip named "<identify>.zip") through unpackPackage, the
    // interface pack and the updater through unpack.
    static bool extract(ArchiveKind kind, const std::string& zipPath, const std::string& folder);

    // True when every entry that was not skipped is in place under folder. An empty folder is refused. Fails
    // before writing when the archive holds more entries than a zip can without its 64-bit extension, when the
    // declared sizes pass the cap the archive's own size allows (engine/base/InputLimits.h) or the free disk
    // space, and an entry that inflates beyond its declared size fails.
    static bool unpack(const std::string& zipPath, const std::string& folder);
    // A courseware package: only entries under "<identify>/" are extracted (others are skipped with a log line),
    // and the new folder replaces folder + identify whole: the old one is renamed to ".<identify>.old", the new
    // one renamed into place, then the old one removed. True when the new package is in place; on failure the
    // old package is untouched.
    static bool unpackPackage(const std::string& zipPath, const std::string& folder, const std::string& identify);
    // What a killed extraction left in folder: an old package whose replacement is not in place is renamed back,
    // other ".<identify>.old" folders and unfinished staging folders are removed. Not while an extraction runs.
    static void recoverPackages(const std::string& folder);

    // Test hook: runs after each entry written to the staging folder with the number written so far. It may run
    // on a worker thread.
    static void setEntryHook(std::function<void(int)> hook);

    // Test hook: runs at each step of a package swap (staged, old moved aside, new moved in, old removed). It may
    // run on a worker thread.
    static void setSwapHook(std::function<void()> hook);

private:
    static bool extractToStaging(const std::string& zipPath, const std::string& base, const std::string& onlyUnder,
                                 const std::string& staging);
    static bool swapIn(const std::string& fresh, const std::string& target, const std::string& aside);
    static void runSwapHook();
    // Moves everything under from into to: missing items are renamed in, folders are merged, files and links
    // are replaced (never followed). A folder in the way of a file is a failure.
    static bool publish(const std::string& from, const std::string& to);
};
