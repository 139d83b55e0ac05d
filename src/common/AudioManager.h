// The looping background music and the one voice or effect sound, with the voice's progress every 0.1 s.
#pragma once

#include <functional>
#include <string>

#include "audio/AudioEngine.h"
#include "base/Ref.h"

class AudioManager : public engine::Ref {
public:
    using VoiceCallback = std::function<void(float percent)>;

    static AudioManager* getInstance();

    virtual bool init();

    // Starts "BGM_Login.mp3" unless a music is already running.
    void playBackgroundMusic();
    // Stops the background music when one plays; the next playBackgroundMusic starts it again.
    void stopBackgroundMusic();
    // Stops the current voice, then plays path at the voice volume; callback receives its progress.
    void playVoice(const std::string& path, const VoiceCallback& callback, bool loop);
    // The 0.1 s tick: reports progress while the voice plays and releases it once it has ended.
    void update(float dt);

    // Users stop these sounds themselves and reset the ids; an id is valid when above INVALID_AUDIO_ID.
    int backgroundMusicId = engine::AudioEngine::INVALID_AUDIO_ID;
    int voiceId = engine::AudioEngine::INVALID_AUDIO_ID;
    VoiceCallback voiceCallback;

private:
    AudioManager() = default;
    // Schedules the tick again when the scheduler was emptied (a director reset).
    void ensureTick();
};
