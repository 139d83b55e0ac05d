// The music settings: mute buttons, sliders, and the volumes reaching the sounds that play.
#include "common/AudioManager.h"
#include "tools/MusicLayer.h"
#include "tools/ToolsFixture.h"
#include "ui/Slider.h"

using engine::AudioEngine;
using tools_test::ToolsTest;

namespace {

class MusicSettings : public ToolsTest {
protected:
    void TearDown() override {
        AudioManager* audio = AudioManager::getInstance();
        audio->voiceId = AudioEngine::INVALID_AUDIO_ID;
        audio->backgroundMusicId = AudioEngine::INVALID_AUDIO_ID;
        ToolsTest::TearDown();
    }
    static engine::ui::Slider* slider(MusicLayer* dialog, const std::string& name) {
        return dynamic_cast<engine::ui::Slider*>(find(dialog, name));
    }
    static bool bright(MusicLayer* dialog, const std::string& name) {
        return dynamic_cast<engine::ui::Widget*>(find(dialog, name))->isBright();
    }
    // Moves the slider as a drag would and lets it report.
    static void slide(MusicLayer* dialog, const std::string& name, int percent) {
        slider(dialog, name)->setPercent(percent);
        dialog->onSliderEvent(slider(dialog, name));
    }
};

} // namespace

TEST_F(MusicSettings, OpensAtTheStoredVolumesTruncatedAndMuteTogglesRestoreFullVolume) {
    GDataManager* data = GDataManager::getInstance();
    data->voiceVolume = 0.999f;
    data->musicVolume = 0.f;
    MusicLayer* dialog = open<MusicLayer>(106);
    struct Step {
        const char* button;
        float voice, music;
        int voicePercent, musicPercent;
    };
    for (const Step& step :
         {Step{nullptr, 0.999f, 0.f, 99, 0}, Step{"Btn_Effect", 0.f, 0.f, 0, 0}, Step{"Btn_Effect", 1.f, 0.f, 100, 0},
          Step{"Btn_Bg", 1.f, 1.f, 100, 100}, Step{"Btn_Bg", 1.f, 0.f, 100, 0}}) {
        if (step.button) {
            press(dialog, step.button);
        }
        const std::string at = step.button ? step.button : "opened";
        EXPECT_FLOAT_EQ(data->voiceVolume, step.voice) << at;
        EXPECT_FLOAT_EQ(data->musicVolume, step.music) << at;
        EXPECT_EQ(slider(dialog, "Slider_Effect")->getPercent(), step.voicePercent) << at;
        EXPECT_EQ(slider(dialog, "Slider_Bg")->getPercent(), step.musicPercent) << at;
        EXPECT_EQ(bright(dialog, "Btn_Effect"), step.voice != 0.f) << at;
        EXPECT_EQ(bright(dialog, "Btn_Bg"), step.music != 0.f) << at;
    }
}

TEST_F(MusicSettings, SlidersReachOnlyTheirOwnPlayingSound) {
    AudioManager* audio = AudioManager::getInstance();
    audio->playBackgroundMusic();
    audio->playVoice("RightCommon.mp3", nullptr, false);
    ASSERT_GT(audio->backgroundMusicId, AudioEngine::INVALID_AUDIO_ID);
    ASSERT_GT(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);
    MusicLayer* dialog = open<MusicLayer>(106);

    slide(dialog, "Slider_Bg", 0);
    EXPECT_FALSE(bright(dialog, "Btn_Bg"));
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(audio->backgroundMusicId), 0.f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(audio->voiceId), 1.f);
    slide(dialog, "Slider_Bg", 1);
    EXPECT_TRUE(bright(dialog, "Btn_Bg"));
    EXPECT_FLOAT_EQ(GDataManager::getInstance()->musicVolume, 0.01f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(audio->backgroundMusicId), 0.01f);

    slide(dialog, "Slider_Effect", 40);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(audio->voiceId), 0.4f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(audio->backgroundMusicId), 0.01f);
    EXPECT_TRUE(logged("percent: 40"));
    support::saveScreenshot("tools_music");

    int closed = 0;
    dialog->retain();
    dialog->closeCallback = [&] { ++closed; };
    press(dialog, "Btn_Close");
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(dialog->getParent(), nullptr);
    dialog->release();
}
