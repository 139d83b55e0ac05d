// PNG decoding that stops at the rows the header declares.
#pragma once

struct SDL_RWops;
struct SDL_Surface;

namespace engine {

// The picture as RGBA32, or null (logged) for a damaged PNG or one whose data inflates past its rows: libpng's
// whole-picture reading inflates every byte of its data even past the rows, so a small PNG could cost minutes;
// this reading stops one row past them. The stream is read from where it stands.
SDL_Surface* decodePng(SDL_RWops* stream, const char* path);

} // namespace engine
