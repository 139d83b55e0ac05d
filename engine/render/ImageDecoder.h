// Decodes the picture formats the program uses, PNG and JPEG, each with its own decoder bounded to the size the
// header declares; the picture door's decoder (engine::door::decodePicture gives each use its bounds).
#pragma once

#include <string>

#include "base/InputLimits.h"

struct SDL_RWops;
struct SDL_Surface;

namespace engine {

class ImageDecoder {
public:
    // The decoded picture, or null with a log line: a missing file, another format (SVG, GIF, BMP, ...), a side
    // beyond maxSide (at most limits::kPictureSide), a JPEG of more than limits::kJpegScans scans, a PNG whose
    // data is longer than its rows can need or inflates past them or whose ancillary chunks are past their
    // limits, or a failed decode. A cap of kSmallPictureSide or less is a small use, whose file may also be at
    // most what its pixels need. Safe to call from any thread.
    static SDL_Surface* load(const std::string& fullPath, int maxSide = limits::kPictureSide);
    // The same from a stream at its start (left open); small: the file bound near its pixels' need.
    static SDL_Surface* decode(SDL_RWops* stream, const char* name, int maxSide, bool small);
};

} // namespace engine
