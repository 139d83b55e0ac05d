// The check a downloaded movie passes before it is kept: its container is one the video player opens.
#pragma once

#include <string>

namespace MovieFile {

// The first bytes of the file are those of a container libvlc plays: ISO media (mp4, mov), Matroska or WebM, AVI,
// MPEG transport or program stream, FLV, ASF or Ogg.
bool isMovie(const std::string& path);

// True when the file is a movie; otherwise it is removed, with the log line "<what> is not a movie: <path>", so that
// it is fetched again.
bool keepIfMovie(const std::string& path, const char* what);

} // namespace MovieFile
