// The check a movie file passes before it is kept: the video player opens it and finds a video stream of a size it
// shows, with a length.
#pragma once

#include <string>

namespace MovieFile {

// The first bytes of the file are those of a container libvlc plays: ISO media (mp4, mov), Matroska or WebM, AVI,
// MPEG transport or program stream, FLV, ASF or Ogg. Cheap, and no proof: a box or a magic number may be all there is.
bool hasMovieHead(const std::string& path);

// hasMovieHead, then libvlc's own parse of the file (path in full): true when it finds a video track no larger than
// full HD and a length.
// Blocks for the parse, at most a few seconds: never on the main thread.
bool isPlayable(const std::string& path);

} // namespace MovieFile
