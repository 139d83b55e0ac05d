#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CommonTestSupport.h"
#include "audio/AudioEngine.h"
#include "audio/SoundFiles.h"
#include "base/Director.h"
#include "common/AudioManager.h"

using engine::AudioEngine;

namespace {

// A headless director, a scratch resource root holding the sounds, and the service put back to silence.
class AudioFixture : public ::testing::Test {
protected:
    void SetUp() override {
        support::startHeadless();
        data = commontest::freshGlobalData();
        audio = AudioManager::getInstance();
        twoSeconds = audiotest::writeWav(resources.file("Voice2s.wav"), 2.f);
        halfSecond = audiotest::writeWav(resources.file("Click.wav"), 0.5f);
        AudioEngine::setPlayObserver([this](const std::string& path, int id) { plays.emplace_back(path, id); });
    }

    void TearDown() override {
        AudioEngine::setPlayObserver(nullptr);
        audio->backgroundMusicId = AudioEngine::INVALID_AUDIO_ID;
        audio->voiceId = AudioEngine::INVALID_AUDIO_ID;
        audio->voiceCallback = nullptr;
        support::stopHeadless();
        data->init();
    }

    // Steps frames of 0.1 s: the service's tick fires once a frame.
    static void step(int frames, float dt = 0.1f) {
        for (int i = 0; i < frames; ++i) {
            engine::Director::getInstance()->mainLoop(dt);
        }
    }

    AudioManager::VoiceCallback recorder(std::vector<float>& into) {
        return [&into](float percent) { into.push_back(percent); };
    }

    commontest::ScratchResources resources;
    GDataManager* data = nullptr;
    AudioManager* audio = nullptr;
    std::string twoSeconds;
    std::string halfSecond;
    std::vector<std::pair<std::string, int>> plays;
};

class AudioVoiceProgress : public AudioFixture {};
class AudioVoiceRelease : public AudioFixture {};
class AudioVoiceReplace : public AudioFixture {};
class AudioMusic : public AudioFixture {};
class AudioVolumes : public AudioFixture {};
class AudioTickSchedule : public AudioFixture {};

TEST_F(AudioVoiceProgress, ReportsRiseTowardsOneHundredWhileTheVoicePlays) {
    std::vector<float> reports;
    audio->playVoice("Voice2s.wav", recorder(reports), false);
    ASSERT_GT(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);

    step(15);
    ASSERT_EQ(reports.size(), 15u);
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_NEAR(reports[i], 5.f * static_cast<float>(i + 1), 0.5f) << i;
    }
    step(10);
    ASSERT_GE(reports.size(), 19u);
    EXPECT_LE(reports.size(), 20u);
    for (size_t i = 1; i < reports.size(); ++i) {
        EXPECT_GT(reports[i], reports[i - 1]);
    }
    EXPECT_LE(reports.back(), 100.f);
    EXPECT_GT(reports.back(), 90.f);
}

TEST_F(AudioVoiceProgress, ReportsFollowTheTickNotTheFrame) {
    std::vector<float> reports;
    audio->playVoice("Voice2s.wav", recorder(reports), false);
    step(60, 1.f / 60.f); // one second
    ASSERT_GE(reports.size(), 8u);
    EXPECT_LE(reports.size(), 10u);
    EXPECT_NEAR(reports.back(), 50.f, 5.5f);
}

TEST_F(AudioVoiceProgress, NoReportWhileTheDurationIsZero) {
    audiotest::writeWav(resources.file("Empty.wav"), 0.f);
    std::vector<float> reports;
    audio->playVoice("Empty.wav", recorder(reports), false);
    ASSERT_EQ(AudioEngine::getState(audio->voiceId), AudioEngine::AudioState::PLAYING);
    ASSERT_FLOAT_EQ(AudioEngine::getDuration(audio->voiceId), 0.f);
    audio->update(0.1f);
    EXPECT_TRUE(reports.empty());
    step(1);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);
}

TEST_F(AudioVoiceRelease, EndedVoiceIsReleasedWithoutAFinalReport) {
    std::vector<float> reports;
    audio->playVoice("Click.wav", recorder(reports), false);
    int id = audio->voiceId;
    step(8);
    EXPECT_EQ(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);
    EXPECT_FALSE(audio->voiceCallback);
    EXPECT_EQ(AudioEngine::getState(id), AudioEngine::AudioState::ERROR);
    size_t count = reports.size();
    EXPECT_GE(count, 4u);
    EXPECT_LE(count, 5u);
    step(5);
    EXPECT_EQ(reports.size(), count);
}

TEST_F(AudioVoiceRelease, VoiceWithoutCallbackStillEndsAndResets) {
    audio->playVoice("Click.wav", nullptr, false);
    EXPECT_GT(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);
    step(8);
    EXPECT_EQ(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);
}

TEST_F(AudioVoiceRelease, UnplayableFileGivesAnInvalidIdAndNoReports) {
    std::vector<float> reports;
    audio->playVoice("Missing.mp3", recorder(reports), false);
    EXPECT_EQ(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);
    step(3);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);
}

TEST_F(AudioVoiceReplace, NewVoiceStopsTheFirstAndSilencesItsCallback) {
    std::vector<float> first;
    std::vector<float> second;
    audio->playVoice("Voice2s.wav", recorder(first), false);
    int firstId = audio->voiceId;
    step(3);
    audio->playVoice("Click.wav", recorder(second), false);
    EXPECT_EQ(AudioEngine::getState(firstId), AudioEngine::AudioState::ERROR);
    EXPECT_NE(audio->voiceId, firstId);
    step(3);
    EXPECT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_NEAR(second.front(), 20.f, 0.5f);
}

TEST_F(AudioVoiceReplace, CallbackMayStartTheNextVoice) {
    std::vector<float> next;
    int calls = 0;
    audio->playVoice(
        "Voice2s.wav",
        [&](float) {
            if (++calls == 2) {
                audio->playVoice("Click.wav", recorder(next), false);
            }
        },
        false);
    step(4);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(next.size(), 2u);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[1].first, "Click.wav");
}

TEST_F(AudioMusic, SecondCallDoesNotRestartTheMusic) {
    audiotest::writeWav(resources.file("BGM_Login.mp3"), 1.f);
    audio->playBackgroundMusic();
    int id = audio->backgroundMusicId;
    ASSERT_GT(id, AudioEngine::INVALID_AUDIO_ID);
    audio->playBackgroundMusic();
    EXPECT_EQ(audio->backgroundMusicId, id);
    EXPECT_EQ(plays.size(), 1u);
    step(20);
    EXPECT_EQ(AudioEngine::getState(id), AudioEngine::AudioState::PLAYING); // looped
}

TEST_F(AudioVolumes, VolumeIsReadWhenASoundStarts) {
    audiotest::writeWav(resources.file("BGM_Login.mp3"), 1.f);
    data->musicVolume = 0.25f;
    audio->playBackgroundMusic();
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(audio->backgroundMusicId), 0.25f);

    data->voiceVolume = 0.5f;
    audio->playVoice("Voice2s.wav", nullptr, false);
    int first = audio->voiceId;
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(first), 0.5f);
    data->voiceVolume = 0.75f;
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(first), 0.5f);
    audio->playVoice("Voice2s.wav", nullptr, false);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(audio->voiceId), 0.75f);
}

TEST_F(AudioTickSchedule, TickSurvivesADirectorReset) {
    std::vector<float> reports;
    audio->playVoice("Voice2s.wav", recorder(reports), false);
    step(2);
    support::stopHeadless();
    support::startHeadless();
    reports.clear();
    audio->playVoice("Voice2s.wav", recorder(reports), false);
    step(3);
    EXPECT_EQ(reports.size(), 3u);
}

} // namespace
