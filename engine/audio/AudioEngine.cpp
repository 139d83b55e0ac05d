#include "audio/AudioEngine.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "audio/AudioDevice.h"
#include "base/Director.h"
#include "base/Log.h"
#include "base/InputLimits.h"
#include "base/Scheduler.h"
#include "door/SoundDoor.h"
#include "platform/FileUtils.h"

namespace engine {

namespace {

constexpr const char* kTickKey = "audio";

struct Sound {
    std::string path; // as given to play2d
    std::string fullPath;
    int channel = -1; // -1: nothing is heard, time still runs
    bool loop = false;
    float volume = 1.f;
    double time = 0;
    float duration = 0;
    std::function<void(int, const std::string&)> finish;
};

AudioDevice g_device;
std::map<int, Sound> g_sounds;
std::unordered_map<std::string, AudioClip> g_clips; // by full path

int g_nextId = 0;
std::function<void(const std::string&, int)> g_observer;
Scheduler* g_tickScheduler = nullptr;

const AudioClip* cachedClip(const std::string& fullPath) {
    auto it = g_clips.find(fullPath);
    return it == g_clips.end() ? nullptr : &it->second;
}

void halt(const Sound& sound) {
    g_device.halt(sound.channel, cachedClip(sound.fullPath));
}

void tick(float dt) {
    std::vector<std::pair<int, Sound>> finished;
    for (auto it = g_sounds.begin(); it != g_sounds.end();) {
        Sound& sound = it->second;
        sound.time += dt;
        if (sound.time < sound.duration) {
            ++it;
        } else if (sound.loop) {
            sound.time = sound.duration > 0 ? std::fmod(sound.time, double(sound.duration)) : 0;
            ++it;
        } else {
            halt(sound);
            finished.emplace_back(it->first, std::move(sound));
            it = g_sounds.erase(it);
        }
    }
    // After the table is settled, so a callback may play or stop sounds.
    for (auto& [id, sound] : finished) {
        if (sound.finish) {
            sound.finish(id, sound.path);
        }
    }
}

void ensureOpen() {
    if (g_device.mode() == AudioDevice::Mode::CLOSED) {
        g_device.open();
        Director::getInstance()->addShutdownHook(&AudioEngine::end);
    }
    Scheduler* scheduler = Director::getInstance()->getScheduler();
    if (scheduler && scheduler != g_tickScheduler) {
        scheduler->addSystemTick(kTickKey, tick);
        g_tickScheduler = scheduler;
    }
}

// Which use the door decodes a sound for: short ones and voices decoded, long loops streamed.
door::SoundUse useOf(const door::SoundLoad& probe, bool loop) {
    if (probe.seconds <= limits::kEffectSeconds) {
        return door::SoundUse::EFFECT;
    }
    return loop ? door::SoundUse::MUSIC : door::SoundUse::VOICE;
}

// A clip of the file through the door; false when the door refused it.
bool loadClip(const std::string& fullPath, bool loop) {
    ensureOpen();
    door::SoundLoad probe = door::checkSound(fullPath, door::SoundUse::MUSIC);
    if (!probe.ok()) {
        return false;
    }
    const door::SoundUse use = useOf(probe, loop);
    if (use == door::SoundUse::MUSIC) {
        AudioClip clip{nullptr, nullptr, static_cast<float>(probe.seconds)};
        if (g_device.mode() == AudioDevice::Mode::MIXER && !(clip.music = door::openMusic(fullPath))) {
            log("AudioEngine: cannot stream %s", fullPath.c_str());
            return false;
        }
        g_clips.emplace(fullPath, clip);
        return true;
    }
    door::SoundLoad checked = door::checkSound(fullPath, use);
    if (!checked.ok()) {
        return false;
    }
    door::SoundLoad sound = door::decodeSound(fullPath, use, std::move(checked));
    if (!sound.ok()) {
        return false;
    }
    Mix_Chunk* chunk = nullptr;
    if (g_device.mode() == AudioDevice::Mode::MIXER &&
        !(chunk = door::makeChunk(sound, g_device.frequency(), g_device.format(), g_device.channels()))) {
        log("AudioEngine: cannot convert %s", fullPath.c_str());
        return false;
    }
    g_clips.emplace(fullPath, AudioClip{chunk, nullptr, static_cast<float>(sound.seconds)});
    return true;
}

// The file a name stands for: the first of its search-path candidates the door does not refuse, so that a refused
// file of the interface pack gives way to the program's own. "" with one log line when there is none.
std::string resolve(const std::string& filePath, bool loop) {
    if (filePath.empty()) {
        log("AudioEngine: empty path");
        return "";
    }
    std::vector<std::string> candidates = FileUtils::getInstance()->fullPathsForFilename(filePath);
    if (candidates.empty()) {
        log("AudioEngine: file not found: %s", filePath.c_str());
        return "";
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(candidates.front(), error)) {
        log("AudioEngine: not a file: %s", candidates.front().c_str());
        return "";
    }
    bool told = false; // the door logs the refusals it makes
    for (const std::string& fullPath : candidates) {
        if (g_clips.count(fullPath)) {
            return fullPath;
        }
        if (!std::filesystem::is_regular_file(fullPath, error) || door::wasRefused(fullPath)) {
            continue;
        }
        if (loadClip(fullPath, loop)) {
            return fullPath;
        }
        told = true;
    }
    if (!told) {
        log("AudioEngine: cannot play %s", filePath.c_str());
    }
    return "";
}

float clampVolume(float volume) {
    if (std::isnan(volume)) {
        log("AudioEngine: volume is not a number, using 1");
        return 1.f;
    }
    if (volume < 0.f || volume > 1.f) {
        log("AudioEngine: volume %g clamped to 0..1", double(volume));
        return volume < 0.f ? 0.f : 1.f;
    }
    return volume;
}

} // namespace

int AudioEngine::play2d(const std::string& filePath, bool loop, float volume, const AudioProfile*) {
    int id = INVALID_AUDIO_ID;
    std::string fullPath = resolve(filePath, loop);
    if (!fullPath.empty()) {
        ensureOpen();
        Sound sound;
        sound.path = filePath;
        sound.fullPath = fullPath;
        sound.loop = loop;
        sound.volume = clampVolume(volume);
        const AudioClip* clip = cachedClip(fullPath);
        sound.duration = clip->duration;
        sound.channel = g_device.play(*clip, loop, sound.volume);
        id = g_nextId++;
        g_sounds.emplace(id, std::move(sound));
    }
    if (g_observer) {
        auto observer = g_observer; // it may replace itself
        observer(filePath, id);
    }
    return id;
}

void AudioEngine::stop(int audioID) {
    auto it = g_sounds.find(audioID);
    if (it == g_sounds.end()) {
        return;
    }
    halt(it->second);
    g_sounds.erase(it);
}

void AudioEngine::stopAll() {
    for (auto& entry : g_sounds) {
        halt(entry.second);
    }
    g_sounds.clear();
}

void AudioEngine::setVolume(int audioID, float volume) {
    auto it = g_sounds.find(audioID);
    if (it == g_sounds.end()) {
        return;
    }
    it->second.volume = clampVolume(volume);
    g_device.setVolume(it->second.channel, it->second.volume, cachedClip(it->second.fullPath));
}

float AudioEngine::getVolume(int audioID) {
    auto it = g_sounds.find(audioID);
    return it == g_sounds.end() ? 0.f : it->second.volume;
}

AudioEngine::AudioState AudioEngine::getState(int audioID) {
    return g_sounds.count(audioID) ? AudioState::PLAYING : AudioState::ERROR;
}

float AudioEngine::getCurrentTime(int audioID) {
    auto it = g_sounds.find(audioID);
    return it == g_sounds.end() ? 0.f : static_cast<float>(it->second.time);
}

float AudioEngine::getDuration(int audioID) {
    auto it = g_sounds.find(audioID);
    return it == g_sounds.end() ? TIME_UNKNOWN : it->second.duration;
}

void AudioEngine::setFinishCallback(int audioID, const std::function<void(int, const std::string&)>& callback) {
    auto it = g_sounds.find(audioID);
    if (it != g_sounds.end()) {
        it->second.finish = callback;
    }
}

bool AudioEngine::preload(const std::string& filePath) {
    return !resolve(filePath, false).empty();
}

void AudioEngine::uncache(const std::string& filePath) {
    std::string fullPath = FileUtils::getInstance()->fullPathForFilename(filePath);
    auto clip = g_clips.find(fullPath.empty() ? filePath : fullPath);
    if (clip == g_clips.end()) {
        return;
    }
    for (auto it = g_sounds.begin(); it != g_sounds.end();) {
        if (it->second.fullPath == clip->first) {
            halt(it->second);
            it = g_sounds.erase(it);
        } else {
            ++it;
        }
    }
    g_device.free(clip->second);
    g_clips.erase(clip);
}

void AudioEngine::uncacheAll() {
    stopAll();
    for (auto& entry : g_clips) {
        g_device.free(entry.second);
    }
    g_clips.clear();
}

void AudioEngine::end() {
    uncacheAll();
    g_device.close();
    door::forgetRefusedSounds();
    if (g_tickScheduler && g_tickScheduler == Director::getInstance()->getScheduler()) {
        g_tickScheduler->removeSystemTick(kTickKey);
    }
    g_tickScheduler = nullptr;
}

void AudioEngine::setPlayObserver(std::function<void(const std::string& path, int audioID)> observer) {
    g_observer = std::move(observer);
}

} // namespace engine
