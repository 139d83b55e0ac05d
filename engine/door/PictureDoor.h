// The door's picture rows: a picture decoded for its use, each use with its side cap and, for small uses, a file
// bounded near what its pixels need. The decoders are ImageDecoder, PngDecode and JpegDecode, called from here
// and from the engine's own entries (TextureCache) with the same bounds.
#pragma once

#include <cstddef>
#include <string>

#include "base/InputLimits.h"

struct SDL_Surface;

namespace engine::door {

enum class PictureUse {
    PAGE,    // a page or still of a package: up to limits::kPictureSide
    PROGRAM, // a picture of the program folder or the interface pack: the same cap
    SMALL,   // a pupil head, a course icon, the institution logo: limits::kSmallPictureSide and the file bound
};

// The side cap of a use.
int sideFor(PictureUse use);

// The picture as RGBA32, or null with a log line when it is missing or refused (see ImageDecoder::load).
SDL_Surface* decodePicture(const std::string& fullPath, PictureUse use);
// The same from bytes in memory (a fuzz target's input).
SDL_Surface* decodePictureBytes(const void* bytes, size_t size, PictureUse use);

// The surface scaled down to fit a keptSide square (its aspect kept), freeing the one given; one already within
// it is returned as it is. Null when the smaller one cannot be made.
SDL_Surface* fitWithin(SDL_Surface* surface, int keptSide);

} // namespace engine::door
