// Sound durations without an open mixer: WAV through SDL's loader, MP3 by walking its frame headers.
#pragma once

#include <string>

namespace engine {

class DurationProbe {
public:
    // Seconds of sound in the file, or -1 when it cannot be read or is neither WAV nor MP3.
    static float durationOf(const std::string& fullPath);

    // Seconds of MPEG audio in the bytes (ID3 tags and a Xing/Info frame skipped), or -1 when no frame is found.
    static float mp3Duration(const unsigned char* data, size_t size);

private:
    static float wavDuration(const std::string& fullPath);
};

} // namespace engine
