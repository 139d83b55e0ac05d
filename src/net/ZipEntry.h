// One entry of a zip archive as the extractor reports it.
#pragma once

#include <cstdint>
#include <string>

struct ZipEntry {
    // File attributes of the entry, in the archive's own flag values.
    static constexpr uint32_t kReadOnly = 0x1;
    static constexpr uint32_t kHidden = 0x2;
    static constexpr uint32_t kSystem = 0x4;
    static constexpr uint32_t kDirectory = 0x10;
    static constexpr uint32_t kArchive = 0x20;

    // The entry's index; for the query with index -1 the number of entries.
    int index = 0;
    // The stored name as UTF-8 with every "\" turned into "/", cleaned by ZipExtractor::cleanEntryName; a folder
    // may end with "/". Not yet checked for safety: see ZipExtractor::isSafeEntryName.
    std::string name;
    uint32_t attr = 0;
    // A symbolic link, device or other special file made on a Unix host; never extracted.
    bool special = false;
    // Made on a Unix host with the owner's execute bit (the updater program).
    bool executable = false;
    // Its data needs a password, which the program never has.
    bool encrypted = false;
    // Unix times in seconds. Linux cannot set the creation time; it is reported only.
    int64_t atime = 0;
    int64_t ctime = 0;
    int64_t mtime = 0;
    int64_t compSize = 0;
    int64_t uncSize = 0;
    // 0 stored, 8 deflated; others are inflated by zlib through the reader.
    int method = 0;
    uint32_t crc = 0;

    bool isDirectory() const { return (attr & kDirectory) != 0; }
    bool isReadOnly() const { return (attr & kReadOnly) != 0; }
};
