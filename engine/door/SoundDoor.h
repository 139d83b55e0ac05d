// The door's sound loading: every sound file is checked and decoded here, for a use that bounds its duration, the
// samples its decoder produces and its bytes. The content decides the decoder (a WAV by its RIFF header, MP3 by an
// ID3 tag or a frame at its start), the same way the mixer picks its own, and the count of decoded samples stops a
// decode at the cap whatever the header claimed. A refused file is remembered until forgetRefusedSounds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

namespace engine::door {

enum class SoundUse {
    EFFECT, // a click, a feedback sound or a short loop: decoded at once on the calling thread
    VOICE,  // a question's sound or a reading: decoded whole, on a worker
    MUSIC,  // music or a long loop: never decoded whole, streamed by the mixer
};

struct SoundLoad {
    enum class Status { LOADED, MISSING, REFUSED };
    enum class Format { NONE, WAV, MP3 };
    Status status = Status::MISSING;
    Format format = Format::NONE;
    std::string reason; // why it was refused
    double seconds = 0; // decoded for EFFECT and VOICE; the header's for MUSIC and checkSound
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples; // interleaved, at the file's rate; empty for MUSIC and checkSound

    bool ok() const { return status == Status::LOADED; }
};

// Reads the file's header with its decoder: format, rate and claimed duration, refused past the use's caps.
// Cheap for MP3 (nothing is decoded); a WAV is read whole, within the file cap.
SoundLoad checkSound(const std::string& fullPath, SoundUse use);
// The whole decode of a sound checkSound passed, refused once the samples pass the use's duration; MUSIC is left
// as checked. Log line for every refusal. Safe on any thread (checkSound asks the mixer: main thread only).
SoundLoad decodeSound(const std::string& fullPath, SoundUse use, SoundLoad checked);
// checkSound, then decodeSound: the door's one entry for a path and a use.
SoundLoad loadSound(const std::string& fullPath, SoundUse use);

// True when this file (the same path, size and time) was refused since the last forgetRefusedSounds.
bool wasRefused(const std::string& fullPath);
void forgetRefusedSounds();

// The decoded samples (none for an empty WAV) in the mixer's format, freed by Mix_FreeChunk; null when they cannot
// be converted.
Mix_Chunk* makeChunk(const SoundLoad& sound, int rate, uint16_t format, int channels);
// The mixer's stream of a checked MUSIC file (opened by content, as checked); null when it cannot be opened.
Mix_Music* openMusic(const std::string& fullPath);

} // namespace engine::door
