// Index of this file:
// [SECTION] Zip fields and small helpers
// [SECTION] Opening an archive
// [SECTION] Entry names
// [SECTION] Entries and their records
// [SECTION] Folders
// [SECTION] Writing entries

#include "net/ZipExtractor.h"

#include <libdeflate.h>
#include <minizip/unzip.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "base/ByteOrder.h"
#include "base/Log.h"
#include "net/ZipMapping.h"

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Zip fields and small helpers
//----------------------------------------------------------------------------------------------------------------------

namespace {

std::atomic<int64_t> g_inMemoryLimit{ZipExtractor::kInMemoryLimit};

// Hosts whose external attributes carry MS-DOS flags in the low byte.
bool isDosHost(unsigned host) {
    return host == 0 || host == 7 || host == 11 || host == 14;
}

int64_t dosTimeToUnix(unsigned long dosDate) {
    const unsigned date = static_cast<unsigned>(dosDate >> 16) & 0xFFFF;
    const unsigned time = static_cast<unsigned>(dosDate) & 0xFFFF;
    struct tm local = {};
    local.tm_year = 80 + static_cast<int>(date >> 9);
    local.tm_mon = static_cast<int>((date >> 5) & 0xF) - 1;
    local.tm_mday = static_cast<int>(date & 0x1F);
    local.tm_hour = static_cast<int>(time >> 11);
    local.tm_min = static_cast<int>((time >> 5) & 0x3F);
    local.tm_sec = static_cast<int>(time & 0x1F) * 2;
    local.tm_isdst = -1;
    // mktime reads the time zone through state that checkers cannot see guarded; extractors run in parallel.
    static std::mutex zoneMutex;
    std::lock_guard<std::mutex> lock(zoneMutex);
    const time_t seconds = mktime(&local);
    return seconds == static_cast<time_t>(-1) ? 0 : static_cast<int64_t>(seconds);
}

// The "UT" block of the local extra field: flag bits 0, 1, 2 give write, access and creation times in this order.
void readExtendedTimes(const std::vector<unsigned char>& extra, ZipEntry& entry) {
    size_t pos = 0;
    while (extra.size() - pos > 4) {
        const unsigned char* block = extra.data() + pos;
        const size_t dataSize = engine::readLe16(block + 2);
        if (dataSize > extra.size() - pos - 4) {
            return;
        }
        if (block[0] == 'U' && block[1] == 'T') {
            if (dataSize < 1) {
                return;
            }
            const unsigned char flags = block[4];
            size_t offset = 1;
            int64_t* targets[3] = {&entry.mtime, &entry.atime, &entry.ctime};
            for (int bit = 0; bit < 3; ++bit) {
                if (!(flags & (1 << bit))) {
                    continue;
                }
                if (offset + 4 > dataSize) {
                    return;
                }
                *targets[bit] = static_cast<int32_t>(engine::readLe32(block + 4 + offset)); // signed seconds
                offset += 4;
            }
            return;
        }
        pos += dataSize + 4;
    }
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Opening an archive
//----------------------------------------------------------------------------------------------------------------------

std::unique_ptr<ZipExtractor> ZipExtractor::openZip(const std::string& path, unsigned* result) {
    std::shared_ptr<const ZipMapping> mapping = ZipMapping::map(path);
    std::unique_ptr<ZipExtractor> extractor = open(path, std::move(mapping));
    if (result) {
        *result = extractor ? kOk : kCannotOpen;
    }
    return extractor;
}

std::unique_ptr<ZipExtractor> ZipExtractor::openAgain() const {
    std::unique_ptr<ZipExtractor> again = open(_path, _mapping);
    if (again) {
        again->_base = _base;
        again->_folders = _folders;
    }
    return again;
}

std::unique_ptr<ZipExtractor> ZipExtractor::open(const std::string& path, std::shared_ptr<const ZipMapping> mapping) {
    unzFile zip = nullptr;
    if (mapping) {
        // The extractor keeps the mapping as long as the reader.
        zlib_filefunc64_def functions = mapping->fileFunctions();
        zip = unzOpen2_64(path.c_str(), &functions);
    } else if (!path.empty()) {
        zip = unzOpen64(path.c_str());
    }
    unz_global_info64 info = {};
    if (zip && unzGetGlobalInfo64(zip, &info) != UNZ_OK) {
        unzClose(zip);
        zip = nullptr;
    }
    if (!zip) {
        return nullptr;
    }
    std::unique_ptr<ZipExtractor> extractor(new (std::nothrow) ZipExtractor(zip, std::move(mapping)));
    if (!extractor) {
        unzClose(zip);
        return nullptr;
    }
    extractor->_path = path;
    extractor->_count = info.number_entry > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(info.number_entry);
    return extractor;
}

ZipExtractor::ZipExtractor(void* zip, std::shared_ptr<const ZipMapping> mapping)
    : _mapping(std::move(mapping)), _zip(zip) {}

ZipExtractor::~ZipExtractor() {
    closeEntry();
    unzClose(_zip);
    if (_inflater) {
        libdeflate_free_decompressor(_inflater);
    }
}

void ZipExtractor::setBaseFolder(const std::string& folder) {
    std::string base = folder;
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    if (base != _base) {
        _base = std::move(base);
        _folders.clear();
    }
}

void ZipExtractor::setInMemoryLimit(int64_t limit) {
    g_inMemoryLimit = limit < 0 ? kInMemoryLimit : limit;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Entry names
//----------------------------------------------------------------------------------------------------------------------

std::string ZipExtractor::cleanEntryName(std::string name) {
    for (;;) {
        if (name.size() >= 2 && name[1] == ':') {
            name.erase(0, 2);
        } else if (!name.empty() && name[0] == '/') {
            name.erase(0, 1);
        } else if (const size_t up = name.find("/../"); up != std::string::npos) {
            name.erase(0, up + 4);
        } else {
            return name;
        }
    }
}

bool ZipExtractor::isSafeEntryName(const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos || name.find('\\') != std::string::npos) {
        return false;
    }
    if (name[0] == '/' || (name.size() >= 2 && name[1] == ':')) {
        return false;
    }
    std::string_view rest(name);
    if (rest.back() == '/') {
        rest.remove_suffix(1);
    }
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('/', start);
        if (end == std::string_view::npos) {
            end = rest.size();
        }
        const std::string_view part = rest.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Entries and their records
//----------------------------------------------------------------------------------------------------------------------

void ZipExtractor::closeEntry() {
    if (_currentEntry >= 0) {
        unzCloseCurrentFile(_zip);
        _currentEntry = -1;
    }
}

unsigned ZipExtractor::moveTo(int index) {
    if (_position < 0 || _position > index) {
        if (unzGoToFirstFile(_zip) != UNZ_OK) {
            _position = -1;
            return kCorrupt;
        }
        _position = 0;
    }
    while (_position < index) {
        if (unzGoToNextFile(_zip) != UNZ_OK) {
            _position = -1;
            return kCorrupt;
        }
        ++_position;
    }
    return kOk;
}

int64_t ZipExtractor::unixTime(unsigned long dosDate) {
    auto found = _dosTimes.find(dosDate);
    if (found == _dosTimes.end()) {
        found = _dosTimes.emplace(dosDate, dosTimeToUnix(dosDate)).first;
    }
    return found->second;
}

bool ZipExtractor::fitsInMemory(int method, int64_t packed, int64_t unpacked) {
    const int64_t limit = g_inMemoryLimit;
    return (method == Z_DEFLATED || method == 0) && unpacked <= limit && packed <= limit;
}

unsigned ZipExtractor::openEntry(int index, ZipEntry& entry, bool forWriting) {
    closeEntry();
    const unsigned moved = moveTo(index);
    if (moved != kOk) {
        return moved;
    }
    // One read of the header for the usual name; a longer one takes a second.
    unz_file_info64 info = {};
    char shortName[256];
    if (unzGetCurrentFileInfo64(_zip, &info, shortName, sizeof shortName, nullptr, 0, nullptr, 0) != UNZ_OK) {
        return kCorrupt;
    }
    std::string name(info.size_filename, '\0');
    if (name.size() <= sizeof shortName) {
        name.assign(shortName, name.size());
    } else if (unzGetCurrentFileInfo64(_zip, &info, name.data(), name.size(), nullptr, 0, nullptr, 0) != UNZ_OK) {
        return kCorrupt;
    }
    const int method = static_cast<int>(info.compression_method);
    const bool raw = !forWriting || fitsInMemory(method, static_cast<int64_t>(info.compressed_size),
                                                 static_cast<int64_t>(info.uncompressed_size));
    if (unzOpenCurrentFile2(_zip, nullptr, nullptr, raw ? 1 : 0) != UNZ_OK) {
        return kCorrupt;
    }
    _currentEntry = index;
    _currentRaw = raw;

    std::vector<unsigned char> extra;
    const int extraSize = unzGetLocalExtrafield(_zip, nullptr, 0);
    if (extraSize < 0) {
        return kReadError;
    }
    if (extraSize > 0) {
        extra.resize(static_cast<size_t>(extraSize));
        if (unzGetLocalExtrafield(_zip, extra.data(), static_cast<unsigned>(extra.size())) != extraSize) {
            return kReadError;
        }
    }

    ZipEntry filled;
    filled.index = index;
    for (char& c : name) {
        if (c == '\\') {
            c = '/';
        }
    }
    filled.name = cleanEntryName(std::move(name));

    const unsigned host = static_cast<unsigned>(info.version >> 8) & 0xFF;
    const auto external = static_cast<uint32_t>(info.external_fa);
    if (isDosHost(host)) {
        filled.attr = external & (ZipEntry::kReadOnly | ZipEntry::kHidden | ZipEntry::kSystem | ZipEntry::kDirectory |
                                  ZipEntry::kArchive);
    } else {
        const uint32_t mode = external >> 16;
        const uint32_t type = mode & S_IFMT;
        filled.attr = ZipEntry::kArchive;
        if (type == S_IFDIR) {
            filled.attr |= ZipEntry::kDirectory;
        } else if (type != 0 && type != S_IFREG) {
            filled.special = true;
        }
        if (!(mode & S_IWUSR)) {
            filled.attr |= ZipEntry::kReadOnly;
        }
        filled.executable = type == S_IFREG && (mode & S_IXUSR) != 0;
    }
    if (!filled.name.empty() && filled.name.back() == '/') {
        filled.attr |= ZipEntry::kDirectory;
    }
    filled.encrypted = (info.flag & 1) != 0;
    filled.compSize = static_cast<int64_t>(info.compressed_size);
    filled.uncSize = static_cast<int64_t>(info.uncompressed_size);
    filled.method = static_cast<int>(info.compression_method);
    filled.crc = static_cast<uint32_t>(info.crc);
    const int64_t dosTime = unixTime(info.dosDate);
    filled.atime = filled.ctime = filled.mtime = dosTime;
    readExtendedTimes(extra, filled);

    entry = filled;
    _cached = std::move(filled);
    _cachedIndex = index;
    return kOk;
}

unsigned ZipExtractor::getZipItem(int index, ZipEntry& entry) {
    if (index < -1 || index >= _count) {
        return kBadArguments;
    }
    closeEntry();
    if (index == -1) {
        entry = ZipEntry();
        entry.index = _count;
        return kOk;
    }
    if (index == _cachedIndex) {
        entry = _cached;
        return kOk;
    }
    const unsigned result = openEntry(index, entry);
    closeEntry();
    return result;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Folders
//----------------------------------------------------------------------------------------------------------------------

bool ZipExtractor::ensureFolder(const std::string& path) {
    if (_folders.count(path)) {
        return true;
    }
    if (mkdir(path.c_str(), 0777) == 0) {
        _folders.insert(path);
        return true;
    }
    // Already there, or made by another extractor meanwhile: look without following links.
    struct stat st;
    if (errno != EEXIST || lstat(path.c_str(), &st) != 0) {
        engine::log("unzip: cannot create folder %s", path.c_str());
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        engine::log("unzip: %s is not a folder", path.c_str());
        return false;
    }
    _folders.insert(path);
    return true;
}

bool ZipExtractor::createDirectories(const std::string& base, const std::string& folder) {
    if (base.empty()) {
        engine::log("unzip: no base folder");
        return false;
    }
    std::string root = base;
    if (root.back() != '/') {
        root += '/';
    }
    if (!_folders.count(root)) {
        struct stat st;
        if (stat(root.c_str(), &st) != 0 && mkdir(root.c_str(), 0777) != 0) {
            engine::log("unzip: cannot create folder %s", root.c_str());
            return false;
        }
        _folders.insert(root);
    }
    size_t start = 0;
    while (start < folder.size()) {
        size_t end = folder.find('/', start);
        if (end == std::string::npos) {
            end = folder.size();
        }
        if (end > start && !ensureFolder(root + folder.substr(0, end))) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Writing entries
//----------------------------------------------------------------------------------------------------------------------

// The reader stops at the declared size; an entry with more data then fails its checksum.
unsigned ZipExtractor::writeEntryData(int fd, const ZipEntry& entry) {
    if (_buffer.empty()) {
        _buffer.resize(kBufferSize);
    }
    int64_t total = 0;
    for (;;) {
        const int read = unzReadCurrentFile(_zip, _buffer.data(), static_cast<unsigned>(_buffer.size()));
        if (read < 0) {
            return kInflateError;
        }
        if (read == 0) {
            break;
        }
        if (!writeAll(fd, _buffer.data(), static_cast<size_t>(read))) {
            return kWriteError;
        }
        total += read;
    }
    if (total != entry.uncSize) {
        return kInflateError;
    }
    const int closed = unzCloseCurrentFile(_zip);
    _currentEntry = -1;
    if (closed == UNZ_CRCERROR) {
        return kCorrupt;
    }
    return closed == UNZ_OK ? kOk : kInflateError;
}

unsigned ZipExtractor::writeEntryInMemory(int fd, const ZipEntry& entry) {
    // The entry stands open raw.
    const auto packedSize = static_cast<size_t>(entry.compSize);
    const auto size = static_cast<size_t>(entry.uncSize);
    const char* packed = nullptr;
    const uint64_t start = _mapping ? unzGetCurrentFileZStreamPos64(_zip) : 0;
    if (_mapping && start <= _mapping->size && packedSize <= _mapping->size - start) {
        packed = reinterpret_cast<const char*>(_mapping->data + start);
    } else if (_mapping) {
        return kReadError;
    } else {
        if (_packed.size() < packedSize) {
            _packed.resize(packedSize);
        }
        size_t got = 0;
        while (got < packedSize) {
            const int read = unzReadCurrentFile(_zip, _packed.data() + got, static_cast<unsigned>(packedSize - got));
            if (read <= 0) {
                return kReadError;
            }
            got += static_cast<size_t>(read);
        }
        packed = _packed.data();
    }
    const char* data = packed;
    if (entry.method == Z_DEFLATED) {
        if (!_inflater) {
            _inflater = libdeflate_alloc_decompressor();
            if (!_inflater) {
                return kInflateError;
            }
        }
        if (_unpacked.size() < size) {
            _unpacked.resize(size);
        }
        size_t produced = 0;
        const libdeflate_result result =
            libdeflate_deflate_decompress(_inflater, packed, packedSize, _unpacked.data(), size, &produced);
        if (result == LIBDEFLATE_INSUFFICIENT_SPACE) {
            engine::log("unzip: %s inflates beyond its declared size", entry.name.c_str());
            return kInflateError;
        }
        if (result != LIBDEFLATE_SUCCESS || produced != size) {
            return kInflateError;
        }
        data = _unpacked.data();
    } else if (packedSize != size) {
        return kInflateError;
    }
    if (libdeflate_crc32(0, data, size) != entry.crc) {
        return kCorrupt;
    }
    if (!writeAll(fd, data, size)) {
        return kWriteError;
    }
    unzCloseCurrentFile(_zip);
    _currentEntry = -1;
    return kOk;
}

unsigned ZipExtractor::unzipItem(int index, const std::string& target) {
    closeEntry();
    if (index < 0 || index >= _count) {
        return kBadArguments;
    }
    if (_base.empty()) {
        engine::log("unzip: no base folder for entry %d", index);
        return kBadArguments;
    }
    if (!isSafeEntryName(target)) {
        engine::log("unzip: refused target %s", target.c_str());
        return kBadArguments;
    }
    ZipEntry entry;
    unsigned result = openEntry(index, entry);
    if (result != kOk) {
        return result;
    }
    if (entry.special) {
        engine::log("unzip: refused special entry %s", entry.name.c_str());
        closeEntry();
        return kBadArguments;
    }
    if (entry.isDirectory() || target.back() == '/') {
        closeEntry();
        return createDirectories(_base, target) ? kOk : kCannotOpen;
    }

    if (entry.encrypted) {
        closeEntry();
        return kPassword;
    }

    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    if (!createDirectories(_base, folder)) {
        closeEntry();
        return kCannotOpen;
    }
    const std::string path = _base + target;
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0 && errno == EEXIST) {
        // Something is in the way: a file or link is replaced, a folder is not.
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && unlink(path.c_str()) == 0) {
            fd = ::open(path.c_str(), flags, 0666);
        }
    }
    if (fd < 0) {
        engine::log("unzip: cannot create %s", path.c_str());
        closeEntry();
        return kCannotOpen;
    }
    result = _currentRaw ? writeEntryInMemory(fd, entry) : writeEntryData(fd, entry);
    if (result == kOk) {
        const struct timespec times[2] = {{static_cast<time_t>(entry.atime), 0}, {static_cast<time_t>(entry.mtime), 0}};
        futimens(fd, times);
        struct stat st;
        if ((entry.isReadOnly() || entry.executable) && fstat(fd, &st) == 0) {
            mode_t mode = st.st_mode & 07777;
            if (entry.executable) {
                mode |= (mode & 0444) >> 2; // execute wherever read is allowed
            }
            if (entry.isReadOnly()) {
                mode &= 07555;
            }
            fchmod(fd, mode);
        }
    }
    if (close(fd) != 0 && result == kOk) {
        result = kWriteError;
    }
    closeEntry();
    if (result != kOk) {
        unlink(path.c_str());
    }
    return result;
}
