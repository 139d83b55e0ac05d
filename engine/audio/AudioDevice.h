// The mixer behind AudioEngine: opens SDL audio (the default device, then the dummy driver, then no mixer at
// all) and hands out one channel per playing chunk; one stream plays at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

namespace engine {

// A sound ready to play: decoded (chunk) or streamed (music). Both null when no mixer is open; duration is known
// either way.
struct AudioClip {
    Mix_Chunk* chunk = nullptr;
    Mix_Music* music = nullptr;
    float duration = 0;
};

// The channel number play gives a streamed clip.
inline constexpr int kMusicChannel = 1 << 20;

class AudioDevice {
public:
    enum class Mode { CLOSED, MIXER, SILENT };

    // allowMixer false skips the device and goes straight to silent decoding.
    void open(bool allowMixer = true);
    void close();
    Mode mode() const { return _mode; }

    // The mixer's output format (zeros while no mixer is open).
    int frequency() const { return _frequency; }
    uint16_t format() const { return _format; }
    int channels() const { return _channels; }
    void free(AudioClip& clip);

    // The channel the clip now plays on (kMusicChannel for a stream, which replaces the one playing), or -1 when
    // nothing can be heard (silent mode or a mixer error).
    int play(const AudioClip& clip, bool loop, float volume);
    // Halts the channel and gives it back; the stream only while it is still clip's.
    void halt(int channel, const AudioClip* clip = nullptr);
    void setVolume(int channel, float volume, const AudioClip* clip = nullptr);
    size_t channelCount() const { return _busy.size(); }

private:
    bool openMixer();
    int acquireChannel();

    Mode _mode = Mode::CLOSED;
    bool _subsystemStarted = false;
    int _frequency = 0;
    uint16_t _format = 0;
    int _channels = 0;
    Mix_Music* _streaming = nullptr;
    std::vector<bool> _busy;
};

} // namespace engine
