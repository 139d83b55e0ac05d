// The classroom tools driven from the lesson player: points on the score board, a drawing, the examination
// lecture's page, the supplementary viewer and the music settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "LessonFixture.h"
#include "audio/AudioEngine.h"
#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "net/FileManager.h"
#include "platform/GLView.h"
#include "scene/RenderTexture.h"
#include "support/Headless.h"
#include "tools/AdditionLayer.h"
#include "tools/DrawBoardLayer.h"
#include "tools/ExaminationLayer.h"
#include "tools/MusicLayer.h"
#include "tools/ScoreLayer.h"
#include "ui/Slider.h"
#include "ui/Text.h"

namespace {

using engine::Node;
using engine::TouchPhase;
using engine::Vec2;

template <class T> T* toolOf(Node* scene) {
    for (Node* child : scene->getChildren()) {
        if (auto* tool = dynamic_cast<T*>(child)) {
            return tool;
        }
    }
    return nullptr;
}

std::string textOf(Node* root, const std::string& name) {
    auto* text = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(root, name));
    return text ? text->getString() : "<no " + name + ">";
}

bool shown(Node* root, const std::string& name) {
    Node* node = UITools::seekChildByName(root, name);
    return node && node->isVisible();
}

void press(Node* root, const std::string& name) {
    Node* node = UITools::seekChildByName(root, name);
    ASSERT_NE(node, nullptr) << name;
    support::click(node);
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

TEST_F(LessonTools, ScoreBoardTakesPointsForAPupilAndAGroupAndTurnsPages) {
    choose({});
    seatPupils();
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    support::click("Btn_Score");
    support::stepFrames(2);
    ScoreLayer* board = toolOf<ScoreLayer>(scene);
    ASSERT_NE(board, nullptr);
    // Stored order: pupil 1 (score -2) first. Its plus raises it to 0 and keeps it first.
    Node* first = UITools::seekChildByName(board, "RandPanel1");
    EXPECT_EQ(textOf(first, "ScoreText"), "-2");
    press(first, "AddBtn");
    // The list re-sorts best first: pupil 1, now at 0, stands seventh (ahead of pupil 3's equal 0), on page 2.
    EXPECT_EQ(GDataManager::getInstance()->students.front().number, 9);
    EXPECT_EQ(GDataManager::getInstance()->students[6].number, 1);
    EXPECT_EQ(textOf(board, "PageText"), "2/3");
    EXPECT_TRUE(shown(UITools::seekChildByName(board, "RandPanel3"), "SelectImg"));
    press(board, "DownBtn");
    EXPECT_EQ(textOf(board, "PageText"), "3/3");
    support::saveScreenshot("lesson_tools_score_pupil");

    press(UITools::seekChildByName(board, "GroupBtn3"), "AddBtn");
    EXPECT_EQ(CommonTools::getInstance()->groupScores[2], 1);
    EXPECT_EQ(textOf(UITools::seekChildByName(board, "GroupBtn3"), "ScoreText"), "1");
    EXPECT_EQ(board->getGroupFilter(), 3);
    EXPECT_EQ(textOf(board, "PageText"), "1/1");
    support::saveScreenshot("lesson_tools_score_group");
    press(board, "Btn_Return");
    support::stepFrames(30);
    EXPECT_EQ(toolOf<ScoreLayer>(scene), nullptr);
}

TEST_F(LessonTools, DrawingWithTwoPensAndAnEraserOverTheLesson) {
    choose({});
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    support::click("Btn_DrawBoard");
    support::stepFrames(2);
    DrawBoardLayer* board = toolOf<DrawBoardLayer>(scene);
    ASSERT_NE(board, nullptr);
    engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
    const auto stroke = [view](const std::vector<Vec2>& points) {
        view->injectTouch(TouchPhase::BEGAN, points.front());
        for (size_t i = 1; i < points.size(); ++i) {
            view->injectTouch(TouchPhase::MOVED, points[i]);
        }
        view->injectTouch(TouchPhase::ENDED, points.back());
    };
    stroke({{300, 400}, {500, 420}, {700, 400}});
    press(board->getBoardPanel(), "ColorImg3");
    stroke({{300, 300}, {500, 280}, {700, 300}});
    press(board->getBoardPanel(), "EraserImg");
    stroke({{400, 200}, {400, 500}});
    support::saveScreenshot("lesson_tools_drawing");
    engine::RenderTexture* canvas = board->getCanvas();
    const engine::Color4B red = canvas->readPixel(600, 410), blue = canvas->readPixel(600, 290);
    EXPECT_NEAR(red.r, 0xe6, 2);
    EXPECT_NEAR(red.b, 0x12, 2);
    EXPECT_EQ(red.a, 255);
    EXPECT_NEAR(blue.g, 0xb4, 2);
    EXPECT_NEAR(blue.b, 0xf7, 2);
    EXPECT_EQ(blue.a, 255);
    EXPECT_EQ(canvas->readPixel(400, 410).a, 0);
    EXPECT_EQ(canvas->readPixel(400, 290).a, 0);
}

TEST_F(LessonTools, ExaminationLectureTurnsRevealsAndResetsItsPage) {
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
    EXPECT_EQ(textOf(page, "Text_Title"), "Test 1: count");
    EXPECT_FALSE(shown(page, "Btn_Left"));
    press(page, "Btn_Right");
    EXPECT_EQ(scene->getContentLayer(), page);
    EXPECT_EQ(textOf(page, "Text_Title"), "Test 2: add");
    EXPECT_TRUE(shown(page, "ExPanel2"));
    press(page, "CImage");
    EXPECT_TRUE(shown(page, "AImage"));
    support::saveScreenshot("lesson_tools_examination_answer");
    press(page, "Btn_Reset");
    EXPECT_TRUE(shown(page, "CImage"));
    EXPECT_FALSE(shown(page, "AImage"));
    EXPECT_EQ(textOf(page, "Text_Title"), "Test 2: add");
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
    ASSERT_NE(support::findByName("TitleBtn2"), nullptr);
    EXPECT_EQ(textOf(support::findByName("TitleBtn1"), "TitleText"), "Count the apples");
    support::click("TitleBtn2");
    support::stepFrames(2);
    AdditionLayer* viewer = toolOf<AdditionLayer>(scene);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(textOf(viewer, "Text_Title"), "Two more pears");
    press(viewer, "Btn_Voice");
    EXPECT_NE(std::find(played.begin(), played.end(), FileManager::getInstance()->getMp3Path() + "ad2.mp3"),
              played.end());
    press(viewer, "CImage");
    support::saveScreenshot("lesson_tools_supplementary");
    EXPECT_TRUE(shown(viewer, "AImage"));
    engine::AudioEngine::setPlayObserver(nullptr);
    // The package's supplementary video plays in the video player over the lesson.
    press(viewer, "PlayBtn");
    EXPECT_NE(support::findByName("Btn_Skip"), nullptr);
}

TEST_F(LessonTools, MusicVolumesReachThePlayingVoiceAndMusic) {
    choose({});
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    AudioManager* audio = AudioManager::getInstance();
    openSetting(scene, "SetBtn4");
    MusicLayer* dialog = toolOf<MusicLayer>(scene);
    ASSERT_NE(dialog, nullptr);
    audio->playBackgroundMusic();
    audio->playVoice("RightCommon.mp3", nullptr, false);
    ASSERT_GT(audio->voiceId, engine::AudioEngine::INVALID_AUDIO_ID);
    auto* voice = dynamic_cast<engine::ui::Slider*>(UITools::seekChildByName(dialog, "Slider_Effect"));
    auto* music = dynamic_cast<engine::ui::Slider*>(UITools::seekChildByName(dialog, "Slider_Bg"));
    voice->setPercent(30);
    dialog->onSliderEvent(voice);
    music->setPercent(60);
    dialog->onSliderEvent(music);
    EXPECT_FLOAT_EQ(engine::AudioEngine::getVolume(audio->voiceId), 0.3f);
    EXPECT_FLOAT_EQ(engine::AudioEngine::getVolume(audio->backgroundMusicId), 0.6f);
    press(dialog, "Btn_Bg");
    EXPECT_FLOAT_EQ(engine::AudioEngine::getVolume(audio->backgroundMusicId), 0.f);
    support::saveScreenshot("lesson_tools_music");
    // A voice started later starts at the stored volume.
    audio->playVoice("WrongCommon.mp3", nullptr, false);
    EXPECT_FLOAT_EQ(engine::AudioEngine::getVolume(audio->voiceId), 0.3f);
}
