#include "render/ImageDecoder.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/Log.h"
#include "render/JpegDecode.h"
#include "render/PngDecode.h"

namespace engine {

namespace {

enum class Format { Unknown, PNG, JPEG };

// What the walk of a file found before any decode.
struct Header {
    Format format = Format::Unknown;
    int width = 0;
    int height = 0;
};

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t bigEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

// A stream read through a buffer, for walks that look at every byte of a file.
class ByteReader {
public:
    explicit ByteReader(SDL_RWops* stream) : stream(stream), buffer(64 * 1024) {}

    int byte() { return next < end || fill() ? buffer[next++] : -1; }

    bool read(unsigned char* out, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const int value = byte();
            if (value < 0) {
                return false;
            }
            out[i] = static_cast<unsigned char>(value);
        }
        return true;
    }

    bool skip(uint64_t count) {
        const uint64_t buffered = std::min<uint64_t>(count, end - next);
        next += buffered;
        return count == buffered || SDL_RWseek(stream, static_cast<Sint64>(count - buffered), RW_SEEK_CUR) >= 0;
    }

    // Moves to the next byte of that value; false at the end.
    bool skipTo(unsigned char value) {
        while (next < end || fill()) {
            const void* found = std::memchr(buffer.data() + next, value, end - next);
            if (found) {
                next = static_cast<size_t>(static_cast<const unsigned char*>(found) - buffer.data());
                return true;
            }
            next = end;
        }
        return false;
    }

private:
    bool fill() {
        next = 0;
        end = SDL_RWread(stream, buffer.data(), 1, buffer.size());
        return end > 0;
    }

    SDL_RWops* stream;
    std::vector<unsigned char> buffer;
    size_t next = 0;
    size_t end = 0;
};

// libpng takes the size from the IHDR chunk, which must come first; the chunks that follow are counted as they
// are decoded.
bool readPng(ByteReader& in, Header& header) {
    unsigned char chunk[25];
    if (!in.read(chunk, sizeof chunk) || bigEndian(chunk, 4) != 13 || std::memcmp(chunk + 4, "IHDR", 4) != 0) {
        return false;
    }
    const uint32_t width = bigEndian(chunk + 8, 4);
    const uint32_t height = bigEndian(chunk + 12, 4);
    header.width = width > INT32_MAX ? INT32_MAX : static_cast<int>(width);
    header.height = height > INT32_MAX ? INT32_MAX : static_cast<int>(height);
    return true;
}

bool isStartOfFrame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the markers as libjpeg does (stray bytes and fill bytes before a marker skipped, segments by their
// length) to the first frame header, whose size libjpeg takes; its scans are counted as it decodes them.
bool readJpeg(ByteReader& in, Header& header) {
    for (int markers = 0; markers < limits::kJpegMarkers; ++markers) {
        if (!in.skipTo(0xFF)) {
            return false;
        }
        int marker = 0;
        do {
            marker = in.byte();
        } while (marker == 0xFF);
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue; // no segment follows
        }
        if (marker < 0 || marker == 0xD9 || marker == 0xD8 || marker == 0xDA) {
            return false; // an end, a second start, or a scan before any frame
        }
        unsigned char length[2];
        if (!in.read(length, sizeof length) || bigEndian(length, 2) < 2) {
            return false;
        }
        const uint32_t rest = bigEndian(length, 2) - 2;
        if (isStartOfFrame(marker)) {
            unsigned char size[5];
            if (rest < 6 || !in.read(size, sizeof size)) {
                return false;
            }
            header.height = static_cast<int>(bigEndian(size + 1, 2));
            header.width = static_cast<int>(bigEndian(size + 3, 2));
            return true;
        }
        if (!in.skip(rest)) {
            return false;
        }
    }
    return false;
}

// The format and the declared size, from the start of the file.
bool readHeader(SDL_RWops* stream, Header& header) {
    ByteReader in(stream);
    unsigned char start[8];
    if (!in.read(start, 2)) {
        return false;
    }
    bool read = false;
    if (start[0] == 0xFF && start[1] == 0xD8) {
        header.format = Format::JPEG;
        read = readJpeg(in, header);
    } else if (in.read(start + 2, 6) && std::memcmp(start, kPngSignature, 8) == 0) {
        header.format = Format::PNG;
        read = readPng(in, header);
    }
    return read && header.width > 0 && header.height > 0;
}

// Bytes a picture of that size needs as RGBA rows with a byte a row, an eighth more and the margin.
uint64_t smallFileBytes(const Header& header) {
    const uint64_t rows = uint64_t(header.height) * (1 + 4 * uint64_t(header.width));
    return rows + rows / 8 + limits::kSmallPictureFileMargin;
}

} // namespace

SDL_Surface* ImageDecoder::load(const std::string& fullPath, int maxSide) {
    SDL_RWops* stream = SDL_RWFromFile(fullPath.c_str(), "rb");
    if (!stream) {
        log("picture cannot be opened: %s", fullPath.c_str());
        return nullptr;
    }
    SDL_Surface* surface = decode(stream, fullPath.c_str(), maxSide, maxSide <= limits::kSmallPictureSide);
    SDL_RWclose(stream);
    return surface;
}

SDL_Surface* ImageDecoder::decode(SDL_RWops* stream, const char* name, int maxSide, bool small) {
    maxSide = std::min(maxSide, limits::kPictureSide);
    const Sint64 fileBytes = SDL_RWsize(stream);
    Header header;
    SDL_Surface* surface = nullptr;
    if (!readHeader(stream, header)) {
        log("picture is no PNG or JPEG: %s", name);
    } else if (header.width > maxSide || header.height > maxSide) {
        log("picture of %dx%d is larger than %dx%d: %s", header.width, header.height, maxSide, maxSide, name);
    } else if (small && fileBytes > 0 && static_cast<uint64_t>(fileBytes) > smallFileBytes(header)) {
        log("picture of %dx%d is %lld bytes, more than its pixels need: %s", header.width, header.height,
            static_cast<long long>(fileBytes), name);
    } else if (SDL_RWseek(stream, 0, RW_SEEK_SET) == 0) {
        // The format's own decoder, never one picked by the bytes.
        surface = header.format == Format::PNG ? decodePng(stream, name, maxSide) : decodeJpeg(stream, name, maxSide);
        if (surface && (surface->w != header.width || surface->h != header.height)) {
            SDL_FreeSurface(surface);
            surface = nullptr;
        }
    }
    return surface;
}

} // namespace engine
