// The mixer behind AudioEngine: opens SDL audio (the default device, then the dummy driver, then no mixer at
// all), decodes files into chunks and hands out one channel per playing sound.
#pragma once

#include <string>
#include <vector>

struct Mix_Chunk;

namespace engine {

// A decoded sound. chunk is null when no mixer is open; duration is known either way.
struct AudioClip {
    Mix_Chunk* chunk = nullptr;
    float duration = 0;
};

class AudioDevice {
public:
    enum class Mode { CLOSED, MIXER, SILENT };

    // allowMixer false skips the device and goes straight to silent decoding.
    void open(bool allowMixer = true);
    void close();
    Mode mode() const { return _mode; }

    // False (and clip untouched) when the file cannot be decoded.
    bool load(const std::string& fullPath, AudioClip& clip);
    void free(AudioClip& clip);

    // The channel the clip now plays on, or -1 when nothing can be heard (silent mode or a mixer error).
    int play(const AudioClip& clip, bool loop, float volume);
    // Halts the channel and gives it back.
    void halt(int channel);
    void setVolume(int channel, float volume);
    size_t channelCount() const { return _busy.size(); }

private:
    bool openMixer();
    int acquireChannel();

    Mode _mode = Mode::CLOSED;
    bool _subsystemStarted = false;
    int _frequency = 0;
    int _channels = 0;
    int _bytesPerSample = 0;
    std::vector<bool> _busy;
};

} // namespace engine
