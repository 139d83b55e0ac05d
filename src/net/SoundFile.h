// The check a downloaded sound passes before it is kept.
#pragma once

#include <string>

namespace SoundFile {

// True when the sound door takes the file as a voice (WAV or MP3 content within a voice's bytes and duration);
// otherwise it is removed, with the log line "<what> is not a sound: <path>", so that it is fetched again.
bool keepIfSound(const std::string& path, const char* what);

} // namespace SoundFile
