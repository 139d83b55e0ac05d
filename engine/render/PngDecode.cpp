#include "render/PngDecode.h"

#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/InputLimits.h"
#include "base/Log.h"

namespace engine {

namespace {

constexpr const char* kLongData = "picture's data is longer than %ux%u pixels can need: %s";
constexpr const char* kManyChunks = "picture of more than %d ancillary chunks: %s";
constexpr const char* kLongChunks = "picture's ancillary chunks are longer than %llu bytes: %s";

uint32_t bigEndian(const unsigned char* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

// Bytes of the rows a PNG's data inflates to: a filter byte and the packed pixels a row, for each of the seven
// passes of an interlaced picture.
uint64_t rowBytes(uint64_t width, uint64_t height, uint64_t bitsPerPixel, bool interlaced) {
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

// Counts the chunks of the bytes as they go to libpng: the data against what the header's rows can need, the
// ancillary chunks in number and bytes.
class ChunkCount {
public:
    // Null while within the limits, else the format of the log line that says what is past them.
    const char* take(const unsigned char* bytes, size_t size) {
        while (size > 0 && !past && !ended) {
            if (skip > 0) {
                const size_t n = static_cast<size_t>(std::min<uint64_t>(skip, size));
                capture(bytes, n);
                skip -= n;
                bytes += n;
                size -= n;
                continue;
            }
            const size_t n = std::min(sizeof head - have, size);
            std::memcpy(head + have, bytes, n);
            have += n;
            bytes += n;
            size -= n;
            if (have == sizeof head) {
                have = 0;
                chunk(bigEndian(head), head + 4);
            }
        }
        return past;
    }

private:
    void chunk(uint64_t length, const unsigned char* type) {
        skip = length + 4;
        captured = 0;
        ended = std::memcmp(type, "IEND", 4) == 0; // what follows is not read
        capturing = std::memcmp(type, "IHDR", 4) == 0 && length == 13;
        if (std::memcmp(type, "IDAT", 4) == 0) {
            if ((data += length) > allowedData) {
                past = kLongData;
            }
        } else if (std::memcmp(type, "IHDR", 4) != 0 && std::memcmp(type, "PLTE", 4) != 0 &&
                   std::memcmp(type, "IEND", 4) != 0) {
            if (++ancillary > limits::kPngAncillaryChunks) {
                past = kManyChunks;
            } else if ((ancillaryBytes += length) > limits::kPngAncillaryBytes) {
                past = kLongChunks;
            }
        }
    }

    void capture(const unsigned char* bytes, size_t size) {
        if (!capturing) {
            return;
        }
        const size_t n = std::min(size, sizeof ihdr - captured);
        std::memcpy(ihdr + captured, bytes, n);
        captured += n;
        if (captured == sizeof ihdr) {
            capturing = false;
            static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
            const int channels = ihdr[9] <= 6 ? kChannels[ihdr[9]] : 0;
            // A header libpng refuses needs no bound of its own.
            if (channels > 0) {
                const uint64_t rows = rowBytes(bigEndian(ihdr), bigEndian(ihdr + 4), uint64_t{ihdr[8]} * channels,
                                               ihdr[12] != 0);
                allowedData = rows + rows / 8 + limits::kPngDataMargin;
            }
        }
    }

    uint64_t skip = 8; // the signature
    unsigned char head[8] = {};
    size_t have = 0;
    unsigned char ihdr[13] = {};
    size_t captured = 0;
    bool capturing = false;
    uint64_t allowedData = UINT64_MAX;
    uint64_t data = 0;
    int ancillary = 0;
    uint64_t ancillaryBytes = 0;
    const char* past = nullptr;
    bool ended = false;

public:
    uint32_t width() const { return bigEndian(ihdr); }
    uint32_t height() const { return bigEndian(ihdr + 4); }
};

// What the callbacks share; plain data, since libpng leaves by longjmp.
struct Reading {
    SDL_Surface* surface = nullptr;
    bool surplus = false;
    bool ended = false;
    const char* path = "";
};

void onWarning(png_structp png, png_const_charp message) {
    // libpng's words when the data inflates past the last row; it inflates no further.
    if (std::strstr(message, "Extra compressed data")) {
        static_cast<Reading*>(png_get_progressive_ptr(png))->surplus = true;
    }
}

void onError(png_structp png, png_const_charp message) {
    log("PNG %s: %s", message, static_cast<Reading*>(png_get_error_ptr(png))->path);
    png_longjmp(png, 1);
}

void onInfo(png_structp png, png_infop info) {
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    auto* reading = static_cast<Reading*>(png_get_progressive_ptr(png));
    reading->surface =
        SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(png_get_image_width(png, info)),
                                       static_cast<int>(png_get_image_height(png, info)), 32, SDL_PIXELFORMAT_RGBA32);
    if (!reading->surface) {
        png_error(png, "has no room");
    }
}

void onRow(png_structp png, png_bytep row, png_uint_32 number, int) {
    SDL_Surface* surface = static_cast<Reading*>(png_get_progressive_ptr(png))->surface;
    if (row && number < static_cast<png_uint_32>(surface->h)) {
        png_progressive_combine_row(png, static_cast<png_bytep>(surface->pixels) + number * surface->pitch, row);
    }
}

void onEnd(png_structp png, png_infop) {
    static_cast<Reading*>(png_get_progressive_ptr(png))->ended = true;
}

// libpng's own bounds, behind the count: the side, and no ancillary chunk kept or inflated (a negative count
// drops every one it knows but transparency, and NEVER every unknown one).
void bound(png_structp png, int maxSide) {
    png_set_user_limits(png, static_cast<png_uint_32>(maxSide), static_cast<png_uint_32>(maxSide));
    png_set_chunk_cache_max(png, limits::kPngAncillaryChunks);
    png_set_chunk_malloc_max(png, limits::kPngAncillaryBytes);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
}

} // namespace

SDL_Surface* decodePng(SDL_RWops* stream, const char* path, int maxSide) {
    Reading reading;
    reading.path = path;
    ChunkCount count;
    const char* volatile past = nullptr;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    auto* buffer = static_cast<unsigned char*>(std::malloc(64 * 1024));
    if (!info || !buffer || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(buffer);
        SDL_FreeSurface(reading.surface);
        return nullptr;
    }
    bound(png, maxSide);
    png_set_progressive_read_fn(png, &reading, onInfo, onRow, onEnd);
    size_t size = 0;
    while (!reading.ended && (size = SDL_RWread(stream, buffer, 1, 64 * 1024)) > 0) {
        past = count.take(buffer, size);
        if (past) {
            break;
        }
        png_process_data(png, info, buffer, size);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(buffer);
    if (past || !reading.ended || reading.surplus) {
        if (past == kLongData) {
            log(kLongData, count.width(), count.height(), path);
        } else if (past == kManyChunks) {
            log(kManyChunks, limits::kPngAncillaryChunks, path);
        } else if (past) {
            log(kLongChunks, static_cast<unsigned long long>(limits::kPngAncillaryBytes), path);
        } else {
            log(reading.surplus ? "picture's data inflates past its rows: %s" : "PNG is cut short: %s", path);
        }
        SDL_FreeSurface(reading.surface);
        return nullptr;
    }
    return reading.surface;
}

} // namespace engine
