// A zip archive file mapped read-only, and minizip's file functions that read it from memory.
#pragma once

#include <minizip/ioapi.h>

#include <cstddef>
#include <memory>
#include <string>

struct ZipMapping {
    const unsigned char* data = nullptr;
    size_t size = 0;

    // Null when the file cannot be opened or mapped, or is empty.
    static std::shared_ptr<const ZipMapping> map(const std::string& path);
    ~ZipMapping();

    // For unzOpen2_64: every stream opened reads this mapping, which must outlive the reader.
    zlib_filefunc64_def fileFunctions() const;
};
