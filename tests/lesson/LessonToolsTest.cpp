// The classroom tools on the demo packages, driven from the lesson player: the examination lecture's page, the
// supplementary viewer with its reading and video, and the music settings reaching the sounds that play.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "LessonFixture.h"
#include "audio/AudioEngine.h"
#include "common/AudioManager.h"
#include "net/FileManager.h"
#include "support/Headless.h"
#include "tools/AdditionLayer.h"
#include "tools/ExaminationLayer.h"
#include "tools/MusicLayer.h"
#include "ui/Slider.h"

namespace {

using lesson::childOf;
using lesson::shown;
using lesson::textOf;

void press(engine::Node* root, const std::string& name) {
    ASSERT_TRUE(support::click(name, root)) << name;
    support::stepFrames(2);
}

class LessonTools : public lesson::LessonTest {
protected:
    void openSetting(LogicTopicScene* scene, const std::string& entry) {
        scene->onSetClicked();
        support::stepFrames(12);
        support::click(entry);
        support::stepFrames(12);
    }
};

} // namespace

TEST_F(LessonTools, ExaminationLectureTurnsAndResetsItsPageInPlace) {
    choose({1, 1, 5, 1, 6});
    // The list holds lessons 1 to 3; the examination lecture's package is unpacked by hand.
    std::filesystem::copy(TEST_SOURCE_DIR "/server/packages/0101050106",
                          FileManager::getInstance()->getNetResPath() + "0101050106",
                          std::filesystem::copy_options::recursive);
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    auto* page = dynamic_cast<ExaminationLayer*>(scene->getContentLayer());
    ASSERT_NE(page, nullptr);
    page->retain();
    EXPECT_EQ(textOf("Text_Title", page), "Test 1: count");
    press(page, "Btn_Right");
    EXPECT_EQ(scene->getContentLayer(), page);
    EXPECT_EQ(textOf("Text_Title", page), "Test 2: add");
    press(page, "CImage");
    support::saveScreenshot("lesson_tools_examination_answer");
    // Reset hides the answer of the item on show, not of the first one.
    press(page, "Btn_Reset");
    EXPECT_TRUE(shown("CImage", page));
    EXPECT_EQ(textOf("Text_Title", page), "Test 2: add");
    // The page the player holds is the one it removes.
    scene->openContent(1);
    EXPECT_EQ(page->getParent(), nullptr);
    page->release();
}

TEST_F(LessonTools, SupplementaryViewerFromTheSettingsMenu) {
    choose({1, 1, 1, 1, 1});
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    std::vector<std::string> played;
    engine::AudioEngine::setPlayObserver([&](const std::string& path, int) { played.push_back(path); });
    openSetting(scene, "SetBtn2");
    EXPECT_EQ(textOf("TitleText", support::findByName("TitleBtn1")), "Count the apples");
    support::click("TitleBtn2");
    support::stepFrames(2);
    AdditionLayer* viewer = childOf<AdditionLayer>(scene);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(textOf("Text_Title", viewer), "Two more pears");
    press(viewer, "Btn_Voice");
    EXPECT_NE(std::find(played.begin(), played.end(), FileManager::getInstance()->getMp3Path() + "ad2.mp3"),
              played.end());
    engine::AudioEngine::setPlayObserver(nullptr);
    press(viewer, "CImage");
    support::saveScreenshot("lesson_tools_supplementary");
    // The package's supplementary video plays in the video player over the lesson.
    press(viewer, "PlayBtn");
    // Once the movie passed its check.
    EXPECT_TRUE(waitFor([] { return support::findByName("Btn_Skip") != nullptr; }));
}

TEST_F(LessonTools, MusicVolumesReachThePlayingVoiceAndMusic) {
    choose({});
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    AudioManager* audio = AudioManager::getInstance();
    openSetting(scene, "SetBtn4");
    MusicLayer* dialog = childOf<MusicLayer>(scene);
    ASSERT_NE(dialog, nullptr);
    audio->playBackgroundMusic();
    audio->playVoice("RightCommon.mp3", nullptr, false);
    ASSERT_GT(audio->voiceId, engine::AudioEngine::INVALID_AUDIO_ID);
    auto* voice = dynamic_cast<engine::ui::Slider*>(support::findByName("Slider_Effect", dialog));
    voice->setPercent(30);
    dialog->onSliderEvent(voice);
    EXPECT_FLOAT_EQ(engine::AudioEngine::getVolume(audio->voiceId), 0.3f);
    press(dialog, "Btn_Bg");
    EXPECT_FLOAT_EQ(engine::AudioEngine::getVolume(audio->backgroundMusicId), 0.f);
    support::saveScreenshot("lesson_tools_music");
    // A voice started later starts at the stored volume.
    audio->playVoice("WrongCommon.mp3", nullptr, false);
    EXPECT_FLOAT_EQ(engine::AudioEngine::getVolume(audio->voiceId), 0.3f);
}
