// JPEG decoding bounded in memory and in scans.
#pragma once

struct SDL_RWops;
struct SDL_Surface;

namespace engine {

// The picture as RGBA32, or null (logged) for a damaged JPEG, one of more than maxSide a side or more than
// limits::kJpegScans scans, or one whose decode would need more memory than a picture of its size (the
// coefficients of three full components and some working room). No marker is saved. The stream is read from
// where it stands.
SDL_Surface* decodeJpeg(SDL_RWops* stream, const char* path, int maxSide);

} // namespace engine
