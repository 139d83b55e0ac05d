#include "render/ImageDecoder.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <cstring>
#include <mutex>

#include "base/InputLimits.h"
#include "base/Log.h"

namespace engine {

namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t bigEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

int readByte(SDL_RWops* stream) {
    unsigned char byte = 0;
    return SDL_RWread(stream, &byte, 1, 1) == 1 ? byte : -1;
}

// libpng takes the size from the IHDR chunk, which must come first.
bool readPngSize(SDL_RWops* stream, ImageDecoder::Header& header) {
    unsigned char chunk[16];
    if (SDL_RWread(stream, chunk, sizeof chunk, 1) != 1 || bigEndian(chunk, 4) != 13 ||
        std::memcmp(chunk + 4, "IHDR", 4) != 0) {
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
// length) up to the first frame header, whose size libjpeg then takes.
bool readJpegSize(SDL_RWops* stream, ImageDecoder::Header& header) {
    for (int markers = 0; markers < limits::kJpegMarkers; ++markers) {
        int marker = 0;
        do {
            marker = readByte(stream);
        } while (marker >= 0 && marker != 0xFF);
        do {
            marker = readByte(stream);
        } while (marker == 0xFF);
        if (marker < 0) {
            return false;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue; // no segment follows
        }
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA) {
            return false; // a second start, the end or the scan before any frame
        }
        unsigned char length[2];
        if (SDL_RWread(stream, length, sizeof length, 1) != 1 || bigEndian(length, 2) < 2) {
            return false;
        }
        if (isStartOfFrame(marker)) {
            unsigned char frame[5];
            if (bigEndian(length, 2) < 8 || SDL_RWread(stream, frame, sizeof frame, 1) != 1) {
                return false;
            }
            header.height = static_cast<int>(bigEndian(frame + 1, 2));
            header.width = static_cast<int>(bigEndian(frame + 3, 2));
            return true;
        }
        if (SDL_RWseek(stream, bigEndian(length, 2) - 2, RW_SEEK_CUR) < 0) {
            return false;
        }
    }
    return false;
}

} // namespace

bool ImageDecoder::readHeader(SDL_RWops* stream, Header& header) {
    header = Header{};
    unsigned char start[8];
    if (!stream || SDL_RWread(stream, start, 2, 1) != 1) {
        return false;
    }
    bool read = false;
    if (start[0] == 0xFF && start[1] == 0xD8) {
        header.format = Format::JPEG;
        read = readJpegSize(stream, header);
    } else if (SDL_RWread(stream, start + 2, 6, 1) == 1 && std::memcmp(start, kPngSignature, 8) == 0) {
        header.format = Format::PNG;
        read = readPngSize(stream, header);
    }
    return read && header.width > 0 && header.height > 0;
}

SDL_Surface* ImageDecoder::load(const std::string& fullPath) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG); });
    SDL_RWops* stream = SDL_RWFromFile(fullPath.c_str(), "rb");
    if (!stream) {
        log("picture cannot be opened: %s", fullPath.c_str());
        return nullptr;
    }
    Header header;
    SDL_Surface* surface = nullptr;
    if (!readHeader(stream, header)) {
        log("picture is no PNG or JPEG: %s", fullPath.c_str());
    } else if (header.width > limits::kPictureSide || header.height > limits::kPictureSide) {
        log("picture of %dx%d is larger than %dx%d: %s", header.width, header.height, limits::kPictureSide,
            limits::kPictureSide, fullPath.c_str());
    } else if (SDL_RWseek(stream, 0, RW_SEEK_SET) == 0) {
        // The format's own loader: IMG_Load would take whatever format the bytes look like.
        surface = header.format == Format::PNG ? IMG_LoadPNG_RW(stream) : IMG_LoadJPG_RW(stream);
        if (surface && (surface->w != header.width || surface->h != header.height)) {
            SDL_FreeSurface(surface);
            surface = nullptr;
        }
    }
    SDL_RWclose(stream);
    return surface;
}

} // namespace engine
