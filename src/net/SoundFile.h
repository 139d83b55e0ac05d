// The check a downloaded sound passes before it is kept.
#pragma once

#include <string>

namespace SoundFile {

// True when the file holds sound the audio service plays (MPEG audio frames or a WAV file); otherwise it is
// removed, with the log line "<what> is not a sound: <path>", so that it is fetched again.
bool keepIfSound(const std::string& path, const char* what);

} // namespace SoundFile
