#include "render/ImageDecoder.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "base/Log.h"
#include "render/PngDecode.h"

namespace engine {

namespace {

enum class Format { Unknown, PNG, JPEG };

// What the walk of a file found before any decode.
struct Header {
    Format format = Format::Unknown;
    int width = 0;
    int height = 0;
    int scans = 0;         // JPEG: counted up to one past the limit
    bool longData = false; // PNG: compressed data longer than its rows can need
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

// Bytes of the rows a PNG's data inflates to: a filter byte and the packed pixels a row, for each of the seven
// passes of an interlaced picture.
uint64_t pngRowBytes(uint64_t width, uint64_t height, uint64_t bitsPerPixel, bool interlaced) {
    const auto rows = [bitsPerPixel](uint64_t w, uint64_t h) {
        return w == 0 ? 0 : h * (1 + (w * bitsPerPixel + 7) / 8);
    };
    if (!interlaced) {
        return rows(width, height);
    }
    constexpr uint64_t kStart[7][2] = {{0, 0}, {4, 0}, {0, 4}, {2, 0}, {0, 2}, {1, 0}, {0, 1}};
    constexpr uint64_t kStep[7][2] = {{8, 8}, {8, 8}, {4, 8}, {4, 4}, {2, 4}, {2, 2}, {1, 2}};
    uint64_t total = 0;
    for (int pass = 0; pass < 7; ++pass) {
        const uint64_t w =
            width > kStart[pass][0] ? (width - kStart[pass][0] + kStep[pass][0] - 1) / kStep[pass][0] : 0;
        const uint64_t h =
            height > kStart[pass][1] ? (height - kStart[pass][1] + kStep[pass][1] - 1) / kStep[pass][1] : 0;
        total += rows(w, h);
    }
    return total;
}

// libpng takes the size from the IHDR chunk, which must come first; the IDAT chunks that follow are counted.
bool readPng(ByteReader& in, Header& header, int maxSide) {
    unsigned char chunk[25];
    if (!in.read(chunk, sizeof chunk) || bigEndian(chunk, 4) != 13 || std::memcmp(chunk + 4, "IHDR", 4) != 0) {
        return false;
    }
    const uint32_t width = bigEndian(chunk + 8, 4);
    const uint32_t height = bigEndian(chunk + 12, 4);
    header.width = width > INT32_MAX ? INT32_MAX : static_cast<int>(width);
    header.height = height > INT32_MAX ? INT32_MAX : static_cast<int>(height);
    const int channels[7] = {1, 0, 3, 1, 2, 0, 4};
    const unsigned colourType = chunk[17];
    if (colourType > 6 || channels[colourType] == 0 || header.width > maxSide || header.height > maxSide) {
        return true; // refused by its size, or by libpng
    }
    const uint64_t rowBytes = pngRowBytes(width, height, uint64_t{chunk[16]} * channels[colourType], chunk[20] != 0);
    const uint64_t allowed = rowBytes + rowBytes / 8 + limits::kPngDataMargin;
    uint64_t compressed = 0;
    unsigned char start[8];
    while (in.read(start, sizeof start) && std::memcmp(start + 4, "IEND", 4) != 0) {
        const uint64_t length = bigEndian(start, 4);
        if (std::memcmp(start + 4, "IDAT", 4) == 0 && (compressed += length) > allowed) {
            header.longData = true;
            return true;
        }
        in.skip(length + 4);
    }
    return true;
}

bool isStartOfFrame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the markers as libjpeg does (stray bytes and fill bytes before a marker skipped, segments by their
// length, a scan's data up to the next marker) to the first frame header, whose size libjpeg takes, and on through
// the scans, counting them.
bool readJpeg(ByteReader& in, Header& header) {
    bool frame = false;
    for (int markers = 0; frame || markers < limits::kJpegMarkers; ++markers) {
        if (!in.skipTo(0xFF)) {
            return frame; // a cut file: libjpeg shows what it has
        }
        int marker = 0;
        do {
            marker = in.byte();
        } while (marker == 0xFF);
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue; // no segment follows
        }
        if (marker < 0 || marker == 0xD9) {
            return frame;
        }
        if (marker == 0xD8 || (marker == 0xDA && !frame)) {
            return false; // a second start, or a scan before any frame
        }
        unsigned char length[2];
        if (!in.read(length, sizeof length) || bigEndian(length, 2) < 2) {
            return frame;
        }
        uint32_t rest = bigEndian(length, 2) - 2;
        if (isStartOfFrame(marker) && !frame) {
            unsigned char size[5];
            if (rest < 6 || !in.read(size, sizeof size)) {
                return false;
            }
            header.height = static_cast<int>(bigEndian(size + 1, 2));
            header.width = static_cast<int>(bigEndian(size + 3, 2));
            frame = true;
            rest -= sizeof size;
        } else if (marker == 0xDA && ++header.scans > limits::kJpegScans) {
            return true;
        }
        if (!in.skip(rest)) {
            return frame;
        }
    }
    return false;
}

// The format, the declared size and the work, from a walk of the file.
bool readHeader(SDL_RWops* stream, Header& header, int maxSide) {
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
        read = readPng(in, header, maxSide);
    }
    return read && header.width > 0 && header.height > 0;
}

} // namespace

SDL_Surface* ImageDecoder::load(const std::string& fullPath, int maxSide) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG); });
    SDL_RWops* stream = SDL_RWFromFile(fullPath.c_str(), "rb");
    if (!stream) {
        log("picture cannot be opened: %s", fullPath.c_str());
        return nullptr;
    }
    maxSide = std::min(maxSide, limits::kPictureSide);
    Header header;
    SDL_Surface* surface = nullptr;
    if (!readHeader(stream, header, maxSide)) {
        log("picture is no PNG or JPEG: %s", fullPath.c_str());
    } else if (header.width > maxSide || header.height > maxSide) {
        log("picture of %dx%d is larger than %dx%d: %s", header.width, header.height, maxSide, maxSide,
            fullPath.c_str());
    } else if (header.scans > limits::kJpegScans) {
        log("picture of more than %d scans: %s", limits::kJpegScans, fullPath.c_str());
    } else if (header.longData) {
        log("picture's data is longer than %dx%d pixels can need: %s", header.width, header.height, fullPath.c_str());
    } else if (SDL_RWseek(stream, 0, RW_SEEK_SET) == 0) {
        // The format's own loader: IMG_Load would take whatever format the bytes look like.
        surface = header.format == Format::PNG ? decodePng(stream, fullPath.c_str()) : IMG_LoadJPG_RW(stream);
        if (surface && (surface->w != header.width || surface->h != header.height)) {
            SDL_FreeSurface(surface);
            surface = nullptr;
        }
    }
    SDL_RWclose(stream);
    return surface;
}

} // namespace engine
