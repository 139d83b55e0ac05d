// The check a downloaded picture passes before it is kept.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/InputLimits.h"

namespace PictureFile {

// True when the file is at most maxBytes long (0: any length) and decodes as a picture of at most maxSide a side;
// otherwise the file is removed, with the log line "<what> is not a picture: <path>", so that it is fetched again.
// For a file that has just arrived a cached texture of the same path is dropped first, so a stale copy never
// stands in for it; a file already on disk that is cached has been decoded and is not read again.
bool keepIfPicture(const std::string& path, uint64_t maxBytes, const char* what, bool arrived = true,
                   int maxSide = engine::limits::kPictureSide);

// As keepIfPicture, with the decode on the texture cache's worker, so the main loop never waits for it: done runs
// on the main thread with the answer (at once, inside the call, when the picture is cached or refused unread).
// keptSide > 0: the texture is kept scaled down to fit that square (the size the picture is drawn at).
void keepIfPictureAsync(const std::string& path, uint64_t maxBytes, const char* what, bool arrived, int maxSide,
                        std::function<void(bool)> done, int keptSide = 0);

// An icon or the logo: keepIfPictureAsync for a small use, kept at engine::limits::kSmallPictureKeptSide.
void keepIfSmallPictureAsync(const std::string& path, uint64_t maxBytes, const char* what, bool arrived,
                             std::function<void(bool)> done);

} // namespace PictureFile
