// Sound effects and voices over SDL2_mixer, timed by the engine's frame clock. Main thread only.
#pragma once

#include <functional>
#include <string>

namespace engine {

// Accepted for call compatibility; its limits are not applied.
struct AudioProfile {
    std::string name;
    unsigned int maxInstances = 0;
    double minDelay = 0.0;
};

class AudioEngine {
public:
    enum class AudioState { ERROR = -1, INITIALIZING, PLAYING, PAUSED };

    static constexpr int INVALID_AUDIO_ID = -1;
    static constexpr float TIME_UNKNOWN = -1.0f;

    // Resolves filePath through the search paths and plays it on its own channel. INVALID_AUDIO_ID, with one
    // log line, for an empty path, a folder, a missing or an undecodable file. Ids are never reused.
    // A sound's time advances with the frame dt; a non-looping one ends when it reaches its duration.
    static int play2d(const std::string& filePath, bool loop = false, float volume = 1.0f,
                      const AudioProfile* profile = nullptr);

    // A stopped sound is forgotten and gets no finish callback. Unknown ids are ignored.
    static void stop(int audioID);
    static void stopAll();

    // 0..1, applied at once; outside values are clamped (NaN gives 1) with a log line. Unknown ids are ignored.
    static void setVolume(int audioID, float volume);
    // 0 for an unknown id.
    static float getVolume(int audioID);

    // PLAYING while it plays (a looping sound forever); ERROR once a non-looping sound has ended and for any
    // unknown id. Nothing pauses, so PAUSED never occurs.
    static AudioState getState(int audioID);
    // Seconds played, wrapping for a looping sound; 0 for an unknown id.
    static float getCurrentTime(int audioID);
    // Seconds, known when play2d returns; TIME_UNKNOWN for an unknown id.
    static float getDuration(int audioID);

    // Called with the id and the path given to play2d when a non-looping sound reaches its end (never after
    // stop). The id is already forgotten by then. Unknown ids are ignored.
    static void setFinishCallback(int audioID, const std::function<void(int, const std::string&)>& callback);

    // Decoded files are cached by full path. preload returns false, with a log line, when the file cannot be
    // played.
    static bool preload(const std::string& filePath);
    // Stops the sounds playing the file, then frees it.
    static void uncache(const std::string& filePath);
    static void uncacheAll();

    // Stops everything, frees the cache and closes the mixer (a director shutdown hook). The next play2d or
    // preload opens it again; ids keep counting.
    static void end();

    // Told of every play2d: the path as given and the new id, or INVALID_AUDIO_ID when it failed.
    static void setPlayObserver(std::function<void(const std::string& path, int audioID)> observer);
};

} // namespace engine
