#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "SoundFiles.h"
#include "audio/AudioEngine.h"
#include "base/Director.h"
#include "base/Log.h"
#include "door/SoundDoor.h"

using engine::AudioEngine;
using State = engine::AudioEngine::AudioState;

// From SDL_mixer, linked through the engine: how many channels still sound, and a channel's volume (-1 asks).
extern "C" int Mix_Playing(int channel);
extern "C" int Mix_Volume(int channel, int volume);
extern "C" int Mix_PlayingMusic(void);
extern "C" int Mix_VolumeMusic(int volume);
extern "C" const char* Mix_GetMusicTitleTag(Mix_Music* music);
extern "C" void Mix_FreeMusic(Mix_Music* music);

namespace {

constexpr float kFrame = 1 / 60.f;

// A scratch folder with a 0.5 s WAV, the log and every play2d captured; the mixer closed afterwards.
class AudioFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(scratch.path.empty());
        wav = audiotest::writeWav(scratch / "half.wav", 0.5f);
        engine::setLogSink([this](const std::string& line) { logLines.push_back(line); });
        AudioEngine::setPlayObserver([this](const std::string& path, int id) { plays.emplace_back(path, id); });
        ASSERT_TRUE(AudioEngine::preload(wav)); // opens the mixer, whatever it logs
        logLines.clear();
    }

    void TearDown() override {
        AudioEngine::end();
        AudioEngine::setPlayObserver(nullptr);
        engine::setLogSink(nullptr);
    }

    static void step(int frames) {
        for (int i = 0; i < frames; ++i) {
            engine::Director::getInstance()->mainLoop(kFrame);
        }
    }

    audiotest::ScratchFolder scratch;
    std::string wav;
    std::vector<std::string> logLines;
    std::vector<std::pair<std::string, int>> plays;
};

class AudioPlayback : public AudioFixture {};
class AudioFinish : public AudioFixture {};
class AudioLooping : public AudioFixture {};
class AudioFailures : public AudioFixture {};
class AudioUnknownIds : public AudioFixture {};
class AudioCache : public AudioFixture {};
class AudioShutdown : public AudioFixture {};
class AudioUses : public AudioFixture {};

TEST_F(AudioPlayback, IdsAreUniqueAndNeverReused) {
    std::set<int> ids;
    for (int i = 0; i < 3; ++i) {
        ids.insert(AudioEngine::play2d(wav));
    }
    AudioEngine::stopAll();
    AudioEngine::end();
    ids.insert(AudioEngine::play2d(wav));
    EXPECT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids.count(AudioEngine::INVALID_AUDIO_ID), 0u);
    EXPECT_EQ(plays.back(), std::make_pair(wav, *ids.rbegin()));
}

TEST_F(AudioPlayback, EachSoundGetsItsOwnChannelBeyondThirtyTwo) {
    std::string longWav = audiotest::writeWav(scratch / "long.wav", 3.f);
    for (int i = 0; i < 40; ++i) {
        int id = AudioEngine::play2d(longWav);
        ASSERT_EQ(AudioEngine::getState(id), State::PLAYING);
    }
    EXPECT_EQ(Mix_Playing(-1), 40);
    AudioEngine::stopAll();
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(AudioPlayback, VolumeAppliesAtOnceAndIsClamped) {
    int id = AudioEngine::play2d(wav, false, 0.25f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(id), 0.25f);
    AudioEngine::setVolume(id, 0.75f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(id), 0.75f);
    EXPECT_EQ(Mix_Volume(0, -1), 96); // the first channel, 0.75 of 128
    AudioEngine::setVolume(id, 2.f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(id), 1.f);
    AudioEngine::setVolume(id, -1.f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(id), 0.f);
    EXPECT_EQ(logLines.size(), 2u);
}

TEST_F(AudioPlayback, DecodesMp3AndEndsAtItsDuration) {
    std::string mp3 = audiotest::makeMp3(wav, scratch / "half.mp3");
    if (mp3.empty()) {
        // CI runs on a machine the install script set up, so a skip there would hide a missing package.
        ASSERT_EQ(std::getenv("CI"), nullptr) << "sox cannot write MP3: scripts/install-deps.sh brings it";
        GTEST_SKIP() << "sox cannot write MP3 here";
    }
    int id = AudioEngine::play2d(mp3);
    ASSERT_NE(id, AudioEngine::INVALID_AUDIO_ID);
    float duration = AudioEngine::getDuration(id);
    EXPECT_GE(duration, 0.5f); // the encoder pads a little
    EXPECT_LT(duration, 0.6f);
    int frames = 0;
    while (AudioEngine::getState(id) == State::PLAYING && frames < 100) {
        step(1);
        ++frames;
    }
    EXPECT_GE(frames * kFrame, duration - 1e-4);
    EXPECT_LE(frames * kFrame, duration + 2 * kFrame);
}

TEST_F(AudioPlayback, KeepsTimeWhenTheDeviceFailsToOpen) {
    AudioEngine::end();
    const char* saved = getenv("SDL_AUDIODRIVER");
    std::string savedDriver = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    int id = AudioEngine::play2d(wav);
    saved ? setenv("SDL_AUDIODRIVER", savedDriver.c_str(), 1) : unsetenv("SDL_AUDIODRIVER");

    ASSERT_NE(id, AudioEngine::INVALID_AUDIO_ID);
    EXPECT_NEAR(AudioEngine::getDuration(id), 0.5f, 1e-4);
    EXPECT_EQ(std::count_if(logLines.begin(), logLines.end(),
                            [](const std::string& line) { return line.find("dummy driver") != std::string::npos; }),
              1);
    step(31);
    EXPECT_EQ(AudioEngine::getState(id), State::ERROR);
}

TEST_F(AudioFinish, CallbackRunsOnceAtTheDuration) {
    int id = AudioEngine::play2d(wav);
    std::vector<std::pair<int, std::string>> calls;
    AudioEngine::setFinishCallback(id, [&](int doneId, const std::string& path) { calls.emplace_back(doneId, path); });
    step(15);
    EXPECT_NEAR(AudioEngine::getCurrentTime(id), 0.25f, 1e-4);
    step(14);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(AudioEngine::getState(id), State::PLAYING);
    step(2);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_pair(id, wav));
    step(60);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(AudioFinish, EndedSoundIsForgottenAndItsChannelHalted) {
    int id = AudioEngine::play2d(audiotest::writeWav(scratch / "long.wav", 3.f));
    step(179);
    EXPECT_EQ(Mix_Playing(-1), 1);
    step(2);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(AudioEngine::getState(id), State::ERROR);
    EXPECT_EQ(AudioEngine::getCurrentTime(id), 0.f);
    EXPECT_EQ(AudioEngine::getDuration(id), AudioEngine::TIME_UNKNOWN);
}

TEST_F(AudioFinish, StopSilencesTheCallback) {
    int id = AudioEngine::play2d(wav);
    int calls = 0;
    AudioEngine::setFinishCallback(id, [&](int, const std::string&) { ++calls; });
    step(10);
    AudioEngine::stop(id);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(AudioEngine::getState(id), State::ERROR);
    step(60);
    EXPECT_EQ(calls, 0);
}

TEST_F(AudioLooping, NeverFinishesAndItsTimeWraps) {
    int id = AudioEngine::play2d(wav, true);
    int calls = 0;
    AudioEngine::setFinishCallback(id, [&](int, const std::string&) { ++calls; });
    int wraps = 0;
    float last = 0;
    for (int i = 0; i < 290; ++i) {
        step(1);
        float now = AudioEngine::getCurrentTime(id);
        ASSERT_GE(now, 0.f);
        ASSERT_LT(now, 0.5f);
        wraps += now < last;
        last = now;
    }
    EXPECT_EQ(wraps, 9); // 4.83 s of a 0.5 s sound
    EXPECT_EQ(AudioEngine::getState(id), State::PLAYING);
    EXPECT_EQ(calls, 0);
}

TEST_F(AudioFailures, BadPathsGiveInvalidIdOneLogLineAndTellTheObserver) {
    std::filesystem::create_directory(scratch / "mp3");
    std::ofstream(scratch / "broken.mp3") << "not a sound";
    for (const std::string& path :
         {std::string(), scratch / "missing.mp3", scratch / "mp3", scratch.path + "/", scratch / "broken.mp3"}) {
        size_t linesBefore = logLines.size();
        EXPECT_EQ(AudioEngine::play2d(path), AudioEngine::INVALID_AUDIO_ID) << path;
        EXPECT_EQ(logLines.size(), linesBefore + 1) << path;
        EXPECT_EQ(plays.back(), std::make_pair(path, AudioEngine::INVALID_AUDIO_ID));
    }
    EXPECT_FALSE(AudioEngine::preload(scratch / "broken.mp3"));
}

TEST_F(AudioUnknownIds, ReportErrorAndUnknownTime) {
    for (int id : {AudioEngine::INVALID_AUDIO_ID, 987654}) {
        EXPECT_EQ(AudioEngine::getState(id), State::ERROR);
        EXPECT_EQ(AudioEngine::getCurrentTime(id), 0.f);
        EXPECT_EQ(AudioEngine::getDuration(id), AudioEngine::TIME_UNKNOWN);
        EXPECT_EQ(AudioEngine::getVolume(id), 0.f);
    }
}

TEST_F(AudioUnknownIds, CallsOnThemAreNoOps) {
    int id = AudioEngine::play2d(wav, false, 0.5f);
    int unknown = id + 1000;
    AudioEngine::setVolume(unknown, 0.9f);
    AudioEngine::stop(unknown);
    AudioEngine::stop(AudioEngine::INVALID_AUDIO_ID);
    AudioEngine::setFinishCallback(unknown, [](int, const std::string&) { FAIL(); });
    EXPECT_EQ(AudioEngine::getState(unknown), State::ERROR);
    EXPECT_EQ(AudioEngine::getVolume(unknown), 0.f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(id), 0.5f);
    EXPECT_EQ(AudioEngine::getState(id), State::PLAYING);
    EXPECT_TRUE(logLines.empty());
}

TEST_F(AudioCache, KeepsDecodedFilesUntilUncached) {
    std::string other = audiotest::writeWav(scratch / "other.wav", 2.f);
    int first = AudioEngine::play2d(wav);
    int otherId = AudioEngine::play2d(other);
    audiotest::writeWav(wav, 1.f);
    EXPECT_NEAR(AudioEngine::getDuration(AudioEngine::play2d(wav)), 0.5f, 1e-4); // still the cached chunk

    AudioEngine::uncache(wav);
    EXPECT_EQ(AudioEngine::getState(first), State::ERROR);
    EXPECT_EQ(AudioEngine::getState(otherId), State::PLAYING);
    EXPECT_NEAR(AudioEngine::getDuration(AudioEngine::play2d(wav)), 1.f, 1e-4);

    AudioEngine::uncacheAll();
    EXPECT_EQ(AudioEngine::getState(otherId), State::ERROR);
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(AudioUses, AVoicePastTheEffectCapIsDecodedAndHeard) {
    int id = AudioEngine::play2d(audiotest::writeWav(scratch / "voice.wav", 60.f, 8000));
    EXPECT_NEAR(AudioEngine::getDuration(id), 60.f, 1e-3);
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(AudioUses, ALongLoopIsStreamedAndItsVolumeFollows) {
    int id = AudioEngine::play2d(audiotest::writeWav(scratch / "music.wav", 20.f, 8000), true, 0.5f);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(Mix_Playing(-1), 0);
    AudioEngine::setVolume(id, 0.25f);
    EXPECT_EQ(Mix_VolumeMusic(-1), 32);
    step(1300); // past its 20 s, still looping
    EXPECT_EQ(AudioEngine::getState(id), State::PLAYING);
    AudioEngine::stop(id);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
}

TEST_F(AudioUses, ARefusedFileIsRefusedAgainWithoutAnotherDecode) {
    std::string tooLong = audiotest::writeWav(scratch / "long.wav", 181.f, 8000);
    for (int press = 0; press < 2; ++press) {
        logLines.clear();
        EXPECT_EQ(AudioEngine::play2d(tooLong), AudioEngine::INVALID_AUDIO_ID);
        ASSERT_EQ(logLines.size(), 1u);
        EXPECT_EQ(logLines[0].find("SoundDoor:") == 0, press == 0) << logLines[0];
    }
}

// SDL's allocations while a sound is read: how many, and the largest.
class SdlAllocations {
public:
    SdlAllocations() {
        SDL_GetMemoryFunctions(&_malloc, &_calloc, &_realloc, &_free);
        g_forward = this;
        SDL_SetMemoryFunctions(
            [](size_t size) { return g_forward->seen(size), g_forward->_malloc(size); },
            [](size_t count, size_t size) { return g_forward->seen(count * size), g_forward->_calloc(count, size); },
            [](void* memory, size_t size) { return g_forward->seen(size), g_forward->_realloc(memory, size); },
            [](void* memory) { g_forward->_free(memory); });
    }
    ~SdlAllocations() { SDL_SetMemoryFunctions(_malloc, _calloc, _realloc, _free); }
    size_t largest = 0;
    int count = 0;

private:
    void seen(size_t size) {
        largest = std::max(largest, size);
        ++count;
    }
    static inline SdlAllocations* g_forward = nullptr;
    SDL_malloc_func _malloc;
    SDL_calloc_func _calloc;
    SDL_realloc_func _realloc;
    SDL_free_func _free;
};

// A WAV whose chunk claims far more than the file holds is read as far as the file goes: its reader never asks
// for the claimed bytes.
TEST_F(AudioUses, AChunkThatClaimsMoreThanTheFileIsReadAsFarAsTheFileGoes) {
    using engine::door::SoundUse;
    for (const bool listAfterData : {false, true}) {
        std::string path = audiotest::writeWav(scratch / "claims.wav", 1000 / 22050.f);
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        const char claim[4] = {'\xF0', '\xFF', '\xFF', '\x7F'};
        if (listAfterData) {
            file.seekp(0, std::ios::end);
            file.write("LIST", 4).write(claim, 4).write("INFO", 4);
        } else {
            file.seekp(40).write(claim, 4);
        }
        file.close();
        SdlAllocations allocations;
        for (SoundUse use : {SoundUse::EFFECT, SoundUse::VOICE, SoundUse::MUSIC}) {
            const engine::door::SoundLoad sound = engine::door::loadSound(path, use);
            EXPECT_TRUE(sound.ok()) << sound.reason;
            if (use != SoundUse::MUSIC) {
                EXPECT_EQ(sound.samples.size(), 1000u);
            }
        }
        Mix_FreeMusic(engine::door::openMusic(path));
        EXPECT_LT(allocations.largest, 1u << 20) << (listAfterData ? "a list after the data" : "the data");
    }
}

// A WAV whose format chunk gives no channels, rate, block or sample size is refused before SDL and the mixer divide
// by it (a fuzzer's file of no channels stopped the program with a division by zero).
TEST_F(AudioUses, AFormatOfNoChannelsRateOrSizeIsRefused) {
    const std::pair<const char*, std::streamoff> fields[] = {
        {"channels", 22}, {"rate", 24}, {"block size", 32}, {"sample size", 34}};
    for (const auto& [field, offset] : fields) {
        std::string path = audiotest::writeWav(scratch / "fault.wav", 0.1f);
        std::fstream(path, std::ios::binary | std::ios::in | std::ios::out).seekp(offset).write("\0\0", 2);
        logLines.clear();
        for (auto use : {engine::door::SoundUse::EFFECT, engine::door::SoundUse::MUSIC}) {
            EXPECT_FALSE(engine::door::loadSound(path, use).ok()) << field;
            engine::door::forgetRefusedSounds();
        }
        ASSERT_FALSE(logLines.empty()) << field;
        EXPECT_NE(logLines[0].find("not a WAV"), std::string::npos) << logLines[0];
    }
}

// The mixer is given an MP3's audio only, never the ID3 tags in front of it: its tag reader overran its stack on a
// fuzzer's malformed text frame. A mixer that saw the tag would know the title.
TEST_F(AudioUses, TheMixerIsGivenAnMp3sAudioAndNeverTheTagsInFrontOfIt) {
    const std::string path = scratch / "tagged.mp3";
    const std::string command = "ffmpeg -hide_banner -loglevel error -y -f lavfi -i sine=frequency=440:sample_rate=8000"
                                " -t 1 -ac 1 -c:a libmp3lame -b:a 8k -id3v2_version 3 -metadata title=Hello '" +
                                path + "'";
    if (std::system(command.c_str()) != 0) {
        GTEST_SKIP() << "ffmpeg cannot write MP3 here";
    }
    EXPECT_TRUE(engine::door::loadSound(path, engine::door::SoundUse::MUSIC).ok());
    Mix_Music* music = engine::door::openMusic(path);
    ASSERT_NE(music, nullptr);
    EXPECT_STREQ(Mix_GetMusicTitleTag(music), "");
    Mix_FreeMusic(music);
}

// A file that starts as neither WAV nor MP3 never reaches the mixer, which would open it with a decoder of its own
// (a MIDI file loads a sound font: seconds of work under the sanitizers).
TEST_F(AudioUses, AFileThatStartsAsNeitherWavNorMp3NeverReachesTheMixer) {
    const std::string path = scratch / "midi.mp3";
    const unsigned char midi[] = {'M', 'T', 'h', 'd', 'R', 'I', 'F', 'F', 0, 0xa7, 0, 0, 'M', 'P', '3', 'E', 0, 0xa7};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(midi), sizeof midi);
    SdlAllocations allocations;
    EXPECT_FALSE(engine::door::loadSound(path, engine::door::SoundUse::VOICE).ok());
    EXPECT_EQ(allocations.count, 0);
}

TEST_F(AudioShutdown, DirectorEndClosesTheMixerWithoutCallbacks) {
    auto* director = engine::Director::getInstance();
    int id = AudioEngine::play2d(wav);
    int calls = 0;
    AudioEngine::setFinishCallback(id, [&](int, const std::string&) { ++calls; });
    director->end();
    director->mainLoop(kFrame);
    EXPECT_EQ(AudioEngine::getState(id), State::ERROR);
    director->reset();

    int again = AudioEngine::play2d(wav);
    step(31);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(AudioEngine::getState(again), State::ERROR);
}

} // namespace
