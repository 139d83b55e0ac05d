#include "net/ZipMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

// minizip's file functions over a mapping: one cursor per opened stream.
struct MappedCursor {
    const unsigned char* data;
    uint64_t size;
    uint64_t position;
};

voidpf ZCALLBACK openMapped(voidpf opaque, const void*, int) {
    const auto* mapping = static_cast<const ZipMapping*>(opaque);
    return new (std::nothrow) MappedCursor{mapping->data, mapping->size, 0};
}

uLong ZCALLBACK readMapped(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* cursor = static_cast<MappedCursor*>(stream);
    const uint64_t left = cursor->position < cursor->size ? cursor->size - cursor->position : 0;
    const uint64_t count = std::min<uint64_t>(size, left);
    // minizip reads headers a byte at a time.
    if (count == 1) {
        *static_cast<unsigned char*>(buffer) = cursor->data[cursor->position];
    } else {
        std::memcpy(buffer, cursor->data + cursor->position, count);
    }
    cursor->position += count;
    return static_cast<uLong>(count);
}

uLong ZCALLBACK writeMapped(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T ZCALLBACK tellMapped(voidpf, voidpf stream) {
    return static_cast<MappedCursor*>(stream)->position;
}

long ZCALLBACK seekMapped(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* cursor = static_cast<MappedCursor*>(stream);
    uint64_t from = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
        from = cursor->position;
    } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
        from = cursor->size;
    } else if (origin != ZLIB_FILEFUNC_SEEK_SET) {
        return -1;
    }
    if (offset > cursor->size || from > cursor->size - offset) {
        return -1;
    }
    cursor->position = from + offset;
    return 0;
}

int ZCALLBACK closeMapped(voidpf, voidpf stream) {
    delete static_cast<MappedCursor*>(stream);
    return 0;
}

int ZCALLBACK errorMapped(voidpf, voidpf) {
    return 0;
}

} // namespace

std::shared_ptr<const ZipMapping> ZipMapping::map(const std::string& path) {
    std::shared_ptr<ZipMapping> mapping;
    const int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        // Read as it is used: an archive refused from its central directory costs its directory alone.
        void* data = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (data != MAP_FAILED) {
            mapping = std::make_shared<ZipMapping>();
            mapping->data = static_cast<const unsigned char*>(data);
            mapping->size = static_cast<size_t>(st.st_size);
        }
    }
    if (fd >= 0) {
        close(fd);
    }
    return mapping;
}

ZipMapping::~ZipMapping() {
    if (data) {
        munmap(const_cast<unsigned char*>(data), size);
    }
}

zlib_filefunc64_def ZipMapping::fileFunctions() const {
    return {openMapped, readMapped, writeMapped, tellMapped, seekMapped, closeMapped, errorMapped,
            const_cast<ZipMapping*>(this)};
}
