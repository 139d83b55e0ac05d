// Decodes the picture formats the program uses, PNG and JPEG, once their headers declare a size it can hold.
#pragma once

#include <string>

struct SDL_RWops;
struct SDL_Surface;

namespace engine {

class ImageDecoder {
public:
    enum class Format { Unknown, PNG, JPEG };
    struct Header {
        Format format = Format::Unknown;
        int width = 0;
        int height = 0;
    };

    // The format and the declared size, read from the start of the stream without decoding; false for another
    // format or a header that the decoder would refuse. The stream is left where the reading stopped.
    static bool readHeader(SDL_RWops* stream, Header& header);

    // The decoded picture, or null with a log line: a missing file, another format (SVG, GIF, BMP, ...), a side
    // beyond limits::kPictureSide, or a failed decode. Safe to call from any thread.
    static SDL_Surface* load(const std::string& fullPath);
};

} // namespace engine
