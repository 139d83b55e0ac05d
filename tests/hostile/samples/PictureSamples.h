// Hostile pictures and their runners.
#pragma once

#include <cstdint>

#include "door/PictureDoor.h"
#include "hostile/HostileRow.h"

namespace hostile {

// A PNG of width x height grey pixels, written whole with libpng's own writer.
Make pngOfSide(int width, int height);
// A 16 x 16 PNG with count chunks of that type before its data, each of bytes bytes. A zTXt or iTXt holds a
// deflate stream of 8 MB of zeros (libpng would inflate each), the rest of the chunk filler.
Make pngWithChunks(const char* type, int count, uint32_t bytes);
// A 64 x 64 grey PNG whose data, stored blocks padded with empty ones, is its rows' bytes, an eighth and the
// margin, plus over.
Make pngWithDataOver(int over);
// A 96 x 96 PNG whose file is what a small picture of that size may be, plus over (a private chunk fills it).
Make smallPngOver(int over);
// A progressive 1024 x 1024 JPEG of that many scans.
Make jpegOfScans(int scans);
// A 16 x 16 JPEG with that many segments before its frame header.
Make jpegWithSegments(int segments);

// Decodes the sample for that use and says whether it decoded.
Run decodeFor(engine::door::PictureUse use);
// Decodes the sample for a page (the side cap of any picture).
Run decodePicture();
// Checks the sample as the login checks an icon or the logo, on the decoding thread, stepping frames till the answer.
Run checkSmallPicture();
// Caches the sample for a page, then asks the texture cache for it with the small cap.
Run cachedThenSmall();

} // namespace hostile
