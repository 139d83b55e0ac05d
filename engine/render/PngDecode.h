// PNG decoding that stops at the rows the header declares and reads no chunk it does not use.
#pragma once

struct SDL_RWops;
struct SDL_Surface;

namespace engine {

// The picture as RGBA32, or null (logged) for a damaged PNG, one of more than maxSide a side, one whose data is
// longer than its rows can need or inflates past them, or one with more ancillary chunks or bytes than
// limits::kPngAncillaryChunks and kPngAncillaryBytes. libpng's whole-picture reading inflates every byte of the
// data and every compressed text chunk, so a small PNG could cost minutes; this reading drops every ancillary
// chunk but transparency unread and stops one row past the rows. The stream is read from where it stands.
SDL_Surface* decodePng(SDL_RWops* stream, const char* path, int maxSide);

} // namespace engine
