#include "audio/AudioDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>

#include "base/Log.h"

namespace engine {

namespace {
constexpr int kInitialChannels = 32;
}

bool AudioDevice::openMixer() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    _subsystemStarted = true;
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        _subsystemStarted = false;
        return false;
    }
    Mix_QuerySpec(&_frequency, &_format, &_channels);
    return true;
}

void AudioDevice::open(bool allowMixer) {
    if (_mode != Mode::CLOSED) {
        return;
    }
    _mode = Mode::SILENT;
    if (allowMixer) {
        Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG);
        if (openMixer()) {
            _mode = Mode::MIXER;
        } else {
            // No usable device: the dummy driver still decodes, mixes and keeps time, silently.
            log("AudioEngine: no sound device (%s), using the dummy driver", SDL_GetError());
            SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
            bool opened = openMixer();
            SDL_ResetHint(SDL_HINT_AUDIODRIVER);
            if (opened) {
                _mode = Mode::MIXER;
            } else {
                log("AudioEngine: the dummy driver failed too (%s), sound is off", SDL_GetError());
            }
        }
    }
    if (_mode == Mode::MIXER) {
        _busy.assign(static_cast<size_t>(Mix_AllocateChannels(kInitialChannels)), false);
    }
}

void AudioDevice::close() {
    if (_mode == Mode::MIXER) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        Mix_CloseAudio();
    }
    if (_mode != Mode::CLOSED) {
        Mix_Quit();
    }
    if (_subsystemStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        _subsystemStarted = false;
    }
    _busy.clear();
    _streaming = nullptr;
    _frequency = _channels = 0;
    _format = 0;
    _mode = Mode::CLOSED;
}

void AudioDevice::free(AudioClip& clip) {
    if (clip.chunk) {
        Mix_FreeChunk(clip.chunk);
    }
    if (clip.music) {
        if (_streaming == clip.music) {
            Mix_HaltMusic();
            _streaming = nullptr;
        }
        Mix_FreeMusic(clip.music);
    }
    clip = AudioClip{};
}

int AudioDevice::acquireChannel() {
    auto freeSlot = std::find(_busy.begin(), _busy.end(), false);
    if (freeSlot != _busy.end()) {
        *freeSlot = true;
        return static_cast<int>(freeSlot - _busy.begin());
    }
    int current = static_cast<int>(_busy.size());
    int grown = Mix_AllocateChannels(std::max(kInitialChannels, current * 2));
    if (grown <= current) {
        return -1;
    }
    _busy.resize(static_cast<size_t>(grown), false);
    _busy[static_cast<size_t>(current)] = true;
    return current;
}

int AudioDevice::play(const AudioClip& clip, bool loop, float volume) {
    if (_mode == Mode::MIXER && clip.music) {
        Mix_VolumeMusic(static_cast<int>(volume * MIX_MAX_VOLUME + 0.5f));
        if (Mix_PlayMusic(clip.music, loop ? -1 : 1) < 0) {
            log("AudioEngine: cannot stream: %s", Mix_GetError());
            return -1;
        }
        _streaming = clip.music;
        return kMusicChannel;
    }
    if (_mode != Mode::MIXER || !clip.chunk) {
        return -1;
    }
    int channel = acquireChannel();
    if (channel < 0) {
        log("AudioEngine: no free channel");
        return -1;
    }
    Mix_Volume(channel, static_cast<int>(volume * MIX_MAX_VOLUME + 0.5f));
    if (Mix_PlayChannel(channel, clip.chunk, loop ? -1 : 0) < 0) {
        log("AudioEngine: cannot play on channel %d: %s", channel, Mix_GetError());
        _busy[static_cast<size_t>(channel)] = false;
        return -1;
    }
    return channel;
}

void AudioDevice::halt(int channel, const AudioClip* clip) {
    if (channel == kMusicChannel) {
        if (clip && clip->music && clip->music == _streaming) {
            Mix_HaltMusic();
            _streaming = nullptr;
        }
        return;
    }
    if (channel < 0 || static_cast<size_t>(channel) >= _busy.size()) {
        return;
    }
    Mix_HaltChannel(channel);
    _busy[static_cast<size_t>(channel)] = false;
}

void AudioDevice::setVolume(int channel, float volume, const AudioClip* clip) {
    if (channel == kMusicChannel) {
        if (clip && clip->music && clip->music == _streaming) {
            Mix_VolumeMusic(static_cast<int>(volume * MIX_MAX_VOLUME + 0.5f));
        }
        return;
    }
    if (channel < 0 || static_cast<size_t>(channel) >= _busy.size()) {
        return;
    }
    Mix_Volume(channel, static_cast<int>(volume * MIX_MAX_VOLUME + 0.5f));
}

} // namespace engine
