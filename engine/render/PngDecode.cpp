#include "render/PngDecode.h"

#include <SDL.h>
#include <png.h>

#include <cstdlib>
#include <cstring>

#include "base/Log.h"

namespace engine {

namespace {

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

} // namespace

SDL_Surface* decodePng(SDL_RWops* stream, const char* path) {
    Reading reading;
    reading.path = path;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    auto* buffer = static_cast<unsigned char*>(std::malloc(64 * 1024));
    if (!info || !buffer || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(buffer);
        SDL_FreeSurface(reading.surface);
        return nullptr;
    }
    png_set_progressive_read_fn(png, &reading, onInfo, onRow, onEnd);
    size_t size = 0;
    while (!reading.ended && (size = SDL_RWread(stream, buffer, 1, 64 * 1024)) > 0) {
        png_process_data(png, info, buffer, size);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(buffer);
    if (!reading.ended || reading.surplus) {
        log(reading.surplus ? "picture's data inflates past its rows: %s" : "PNG is cut short: %s", path);
        SDL_FreeSurface(reading.surface);
        return nullptr;
    }
    return reading.surface;
}

} // namespace engine
