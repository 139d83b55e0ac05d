#include "common/AudioManager.h"

#include <algorithm>
#include <new>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "common/GDataManager.h"

using engine::AudioEngine;

namespace {
AudioManager* s_instance = nullptr;
constexpr float kTickInterval = 0.1f;
} // namespace

AudioManager* AudioManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) AudioManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

bool AudioManager::init() {
    backgroundMusicId = AudioEngine::INVALID_AUDIO_ID;
    voiceId = AudioEngine::INVALID_AUDIO_ID;
    voiceCallback = nullptr;
    ensureTick();
    return true;
}

void AudioManager::ensureTick() {
    engine::Scheduler* scheduler = engine::Director::getInstance()->getScheduler();
    if (!scheduler->isScheduled(schedule_selector(AudioManager::update), this)) {
        scheduler->schedule(schedule_selector(AudioManager::update), this, kTickInterval, false);
    }
}

void AudioManager::playBackgroundMusic() {
    ensureTick();
    if (backgroundMusicId == AudioEngine::INVALID_AUDIO_ID) {
        backgroundMusicId = AudioEngine::play2d("BGM_Login.mp3", true, GDataManager::getInstance()->musicVolume);
    }
}

void AudioManager::stopBackgroundMusic() {
    if (backgroundMusicId > AudioEngine::INVALID_AUDIO_ID) {
        AudioEngine::stop(backgroundMusicId);
        backgroundMusicId = AudioEngine::INVALID_AUDIO_ID;
    }
}

void AudioManager::playVoice(const std::string& path, const VoiceCallback& callback, bool loop) {
    ensureTick();
    if (voiceId > AudioEngine::INVALID_AUDIO_ID) {
        AudioEngine::stop(voiceId);
        voiceId = AudioEngine::INVALID_AUDIO_ID;
        voiceCallback = nullptr;
    }
    voiceId = AudioEngine::play2d(path, loop, GDataManager::getInstance()->voiceVolume);
    voiceCallback = callback;
}

void AudioManager::update(float) {
    AudioEngine::AudioState state = AudioEngine::getState(voiceId);
    if (state == AudioEngine::AudioState::PLAYING) {
        float current = AudioEngine::getCurrentTime(voiceId);
        float total = AudioEngine::getDuration(voiceId);
        // An unknown or zero duration gives no report rather than a meaningless percentage.
        if (voiceCallback && total > 0.f) {
            float percent = current / total * 100.f;
            percent = percent >= 0.f ? std::min(percent, 100.f) : 0.f;
            // A copy: the receiver may start another voice, which replaces voiceCallback.
            VoiceCallback callback = voiceCallback;
            callback(percent);
        }
    } else if (state == AudioEngine::AudioState::ERROR) {
        if (voiceId > AudioEngine::INVALID_AUDIO_ID) {
            AudioEngine::stop(voiceId);
            voiceId = AudioEngine::INVALID_AUDIO_ID;
            voiceCallback = nullptr;
        }
    }
}
