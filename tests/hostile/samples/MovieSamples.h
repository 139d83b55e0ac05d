// Hostile movies, made with ffmpeg at test time, and their runners through the movie check.
#pragma once

#include "hostile/HostileRow.h"

namespace hostile {

// A third of a second of grey at width x height (H.264 in mp4).
Make movieOfSize(int width, int height);
// A movie of 1280 x 720 that passes, and beside it one of width x height that replaces it after its check.
Make movieChangedTo(int width, int height);

// MovieCheck of a package's movie: passes when it may be played.
Run checkMovie();
// Checks the movie, replaces it with the one beside it, and checks it again: the second check's outcome.
Run checkMovieThenChange();

} // namespace hostile
