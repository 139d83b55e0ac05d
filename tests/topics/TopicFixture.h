// A lecture package in a scratch resource root, written by each test or unpacked from the demo lectures, and the
// pages of its topics driven through the touch dispatcher.
#pragma once

#include <SDL.h>
#include <SDL_image.h>

#include <string>

#include "base/Director.h"
#include "base/Value.h"
#include "common/GDataManager.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "common_ui/CommonUiFixture.h"
#include "lesson/LogicTopicScene.h"
#include "common/FileManager.h"
#include "scene/Scene.h"
#include "support/DemoTopics.h"
#include "topics/TopicLayer.h"
#include "topics/TopicManage.h"
#include "topics/TopicTypeLayer.h"

namespace topics_test {

using engine::Node;
using engine::Value;
using engine::ValueMap;
using engine::ValueVector;

inline TopicManage* manage() {
    return TopicManage::getInstance();
}

class TopicTest : public common_ui::CommonUiTest {
protected:
    void SetUp() override {
        common_ui::CommonUiTest::SetUp();
        support::useResourceRoot(scratch.path());
        GDataManager* data = GDataManager::getInstance();
        data->courseTypeCode = data->subjectCode = data->gradeCode = data->phaseCode = data->lessonNumber = 1;
        manage()->topics.clear();
        manage()->contentKind = 1;
        manage()->currentTopic = manage()->stepCount = 0;
        manage()->voiceBusy = false;
        manage()->contentVoiceHandler = nullptr;
    }

    void TearDown() override {
        manage()->topics.clear();
        manage()->contentVoiceHandler = nullptr;
        GDataManager* data = GDataManager::getInstance();
        data->courseTypeCode = data->subjectCode = data->gradeCode = data->phaseCode = data->lessonNumber = 0;
        common_ui::CommonUiTest::TearDown();
    }

    // Writes the package's Topic.plist with the given "Subject" map and loads the kind's topics.
    void writeTopics(const ValueMap& subject) {
        engine::FileUtils::getInstance()->createDirectory(support::packagePath());
        ASSERT_TRUE(engine::FileUtils::getInstance()->writeValueMapToFile(
            {{"Subject", Value(subject)}}, FileManager::getInstance()->getTopicPlistPath()));
        manage()->loadTopics();
    }

    void writeKindTopics(const ValueVector& topics) {
        writeTopics({{std::to_string(manage()->contentKind), Value(topics)}});
    }

    // A plain picture of w x h pixels at path (folders made).
    static void writePicture(const std::string& path, int w, int h) {
        engine::FileUtils::getInstance()->createDirectory(path.substr(0, path.find_last_of('/')));
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
        SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, 90, 160, 220, 255));
        IMG_SavePNG(surface, path.c_str());
        SDL_FreeSurface(surface);
    }

    // The lesson player on the demo lecture identify, once its animations have loaded behind the loading layer.
    LogicTopicScene* openLesson(const std::string& identify = "0101010207") {
        support::useDemoLecture(identify);
        LogicTopicScene* lesson = LogicTopicScene::create();
        support::runScene(lesson);
        EXPECT_TRUE(support::waitFor([] { return support::findByName("Img_LoadingBg") == nullptr; }));
        return lesson;
    }

    // Shows the topic of that layout code from the demo lecture identify (by default the first holding it) on a
    // host of a plain scene.
    bool open(int code, const std::string& identify = "") {
        const std::string lecture = identify.empty() ? support::lectureWith(code) : identify;
        if (lecture.empty()) {
            ADD_FAILURE() << "no demo lecture holds " << code;
            return false;
        }
        support::useDemoLecture(lecture);
        const int index = support::findTopic(code);
        host = index >= 0 ? support::openTopicHost() : nullptr;
        if (host) {
            host->selectTopic(index);
            support::stepFrames(2);
        }
        EXPECT_TRUE(host && host->getTypeLayer()) << "no page for " << code;
        return host && host->getTypeLayer();
    }

    TopicTypeLayer* page() const { return dynamic_cast<TopicTypeLayer*>(host->getTypeLayer()); }

    // Below the page's layout: copies of a picture added to the page carry its name too.
    Node* widget(const std::string& name) const { return UITools::seekChildByName(page()->getRootNode(), name); }
    Node* widget(const std::string& prefix, int number) const { return widget(prefix + std::to_string(number)); }

    void tap(const std::string& name) {
        Node* node = widget(name);
        ASSERT_NE(node, nullptr) << name;
        support::click(node);
        support::stepFrames(1);
    }

    // Drags picture onto target (0: to an empty spot) and returns where the picture ended.
    engine::Vec2 dragTo(int picture, int target) {
        Node* piece = widget("OperImg", picture);
        support::drag(support::worldCenter(piece),
                      target ? support::worldCenter(widget("PanelImg", target)) : engine::Vec2(640, 700));
        support::stepFrames(1);
        return piece->getPosition();
    }

    // Steps until no feedback plays.
    void settle() {
        EXPECT_TRUE(support::stepUntil(
            [this] { return !host->isResultShowing() && !SFAnimation::getInstance()->isResultBusy(); }));
        support::stepFrames(2);
    }

    bool played(const std::string& file) const {
        return !playedSounds.empty() && playedSounds.back().find(file) != std::string::npos;
    }

    // Show answer, then the verdict by the feedback sound.
    bool judged() {
        playedSounds.clear();
        EXPECT_TRUE(support::click("Btn_Func3"));
        support::stepFrames(1);
        const bool right = played("RightCommon");
        settle();
        return right;
    }

    TopicLayer* host = nullptr;
};

} // namespace topics_test
