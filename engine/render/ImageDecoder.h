// Decodes the picture formats the program uses, PNG and JPEG, once a walk of the file has found a size it can hold
// and no more work than a picture of that size needs.
#pragma once

#include <string>

#include "base/InputLimits.h"

struct SDL_Surface;

namespace engine {

class ImageDecoder {
public:
    // The decoded picture, or null with a log line: a missing file, another format (SVG, GIF, BMP, ...), a side
    // beyond maxSide (at most limits::kPictureSide), a JPEG of more than limits::kJpegScans scans, a PNG whose
    // compressed data is longer than its rows can need or inflates past them, or a failed decode. Safe to call
    // from any thread.
    static SDL_Surface* load(const std::string& fullPath, int maxSide = limits::kPictureSide);
};

} // namespace engine
