// One open zip archive: its entries with attributes and times, and the extraction of an entry under a base folder.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "net/ZipEntry.h"

struct libdeflate_decompressor;
struct ZipMapping;

// Owns the minizip reader, the read buffer and the cached entry. The archive is read through a read-only mapping of
// the file where the system gives one (the reader then makes no system call), else through stdio. Entries are written only below the base folder:
// a target that is absolute, has a drive, or has an empty, "." or ".." component is refused, no folder on the way
// may be a link, and an existing file is replaced (also a read-only one or a link), never written through.
// One extractor is used by one thread at a time.
class ZipExtractor {
public:
    static constexpr unsigned kOk = 0;
    static constexpr unsigned kCannotOpen = 0x200;
    static constexpr unsigned kWriteError = 0x400;
    static constexpr unsigned kCorrupt = 0x700;
    static constexpr unsigned kReadError = 0x800;
    static constexpr unsigned kPassword = 0x1000;
    static constexpr unsigned kBadArguments = 0x10000;
    static constexpr unsigned kInflateError = 0x5000000;

    static constexpr size_t kBufferSize = 16384;
    // Entries up to this size (packed and unpacked) are inflated in memory.
    static constexpr int64_t kInMemoryLimit = 64 << 20;
    // Test hook: another limit for the entries inflated in memory (kInMemoryLimit again when negative).
    static void setInMemoryLimit(int64_t limit);

    // Null when the file is missing or not a zip archive (result kCannotOpen). The base folder starts empty.
    static std::unique_ptr<ZipExtractor> openZip(const std::string& path, unsigned* result = nullptr);
    // Another reader of the same archive, for another thread, with this one's base folder and the folders it has
    // already checked or made; null when it cannot be opened.
    std::unique_ptr<ZipExtractor> openAgain() const;
    ~ZipExtractor();

    ZipExtractor(const ZipExtractor&) = delete;
    ZipExtractor& operator=(const ZipExtractor&) = delete;

    // Copies the folder and appends "/" when it does not end with one. An empty base refuses every extraction. The
    // folders checked so far are forgotten when the base changes.
    void setBaseFolder(const std::string& folder);
    const std::string& getBaseFolder() const { return _base; }
    int getEntryCount() const { return _count; }

    // Index -1 fills entry.index with the number of entries; 0..n-1 the entry. Other indexes: kBadArguments.
    unsigned getZipItem(int index, ZipEntry& entry);
    // Writes entry index as base + target (target relative, "/" separated; a folder entry makes the folder).
    // A failed file is removed again.
    unsigned unzipItem(int index, const std::string& target);
    // Creates base when missing, then each folder of the relative path below it. False when a step is a link or
    // a file, or cannot be made.
    bool createDirectories(const std::string& base, const std::string& folder);

    // Repeats until none applies: a drive ("C:") is dropped, a leading "/" is dropped, and everything up to and
    // including the first "/../" is dropped. "C:/x/y.txt" gives "x/y.txt", "a/../b.txt" and "../../b.txt" give
    // "b.txt"; "../x" stays as it is (and is unsafe). "\" must already be turned into "/".
    static std::string cleanEntryName(std::string name);
    // True for a relative "/" path whose components are neither empty, "." nor ".."; a trailing "/" (a folder)
    // is allowed. "\" must already be turned into "/".
    static bool isSafeEntryName(const std::string& name);

private:
    ZipExtractor(void* zip, std::shared_ptr<const ZipMapping> mapping);
    static std::unique_ptr<ZipExtractor> open(const std::string& path, std::shared_ptr<const ZipMapping> mapping);

    // Moves the reader to index and opens the entry's data, raw unless it is to be written through zlib; the entry
    // is filled and cached.
    unsigned openEntry(int index, ZipEntry& entry, bool forWriting = false);
    void closeEntry();
    unsigned moveTo(int index);
    // Through zlib in chunks; never more than the declared size.
    unsigned writeEntryData(int fd, const ZipEntry& entry);
    // Read whole and inflated in one call by libdeflate, for entries that fit in memory.
    unsigned writeEntryInMemory(int fd, const ZipEntry& entry);
    static bool fitsInMemory(int method, int64_t packed, int64_t unpacked);
    bool ensureFolder(const std::string& path);
    int64_t unixTime(unsigned long dosDate);

    std::string _path;
    std::shared_ptr<const ZipMapping> _mapping;
    void* _zip = nullptr;
    int _count = 0;
    // The entry the reader stands on; -1 before the first move.
    int _position = -1;
    // The entry whose data is open, -1 when none, and whether it is open raw (to be inflated in memory).
    int _currentEntry = -1;
    bool _currentRaw = false;
    int _cachedIndex = -1;
    ZipEntry _cached;
    std::vector<char> _buffer;
    std::vector<char> _packed;
    std::vector<char> _unpacked;
    libdeflate_decompressor* _inflater = nullptr;
    std::string _base;
    // Folders already checked or made under the base.
    std::unordered_set<std::string> _folders;
    // Entry times by their MS-DOS date: each distinct date is converted once.
    std::unordered_map<unsigned long, int64_t> _dosTimes;
};
