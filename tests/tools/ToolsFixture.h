// Shared fixture of the classroom tool tests: the client fixture with a running scene to open tools on, a class
// of pupils, and short reads of widgets.
#pragma once

#include <SDL.h>
#include <SDL_image.h>

#include <filesystem>
#include <string>
#include <vector>

#include "audio/AudioEngine.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/ClassroomRecords.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "platform/FileUtils.h"
#include "scene/Scene.h"
#include "support/ClientTest.h"
#include "support/DemoTopics.h"
#include "ui/Text.h"
#include "ui/Widget.h"

namespace tools_test {

class ToolsTest : public support::ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        GDataManager::getInstance()->screenOffsetY = 0.f;
        CommonTools::getInstance()->groupScores = {0, 0, 0, 0};
        support::runScene(BaseScene::create());
    }
    void TearDown() override {
        CommonTools::getInstance()->groupScores = {0, 0, 0, 0};
        engine::AudioEngine::stopAll();
        ClientTest::TearDown();
    }

    // Pupils numbered 1 to n in list order, with the given scores (0 for the rest) and groups (0 for the rest).
    static void makeClass(int n, const std::vector<int>& scores = {}, const std::vector<int>& groups = {}) {
        std::vector<StudentRecord>& list = GDataManager::getInstance()->students;
        list.clear();
        for (int i = 0; i < n; ++i) {
            StudentRecord pupil;
            pupil.id = 1001 + i;
            pupil.number = i + 1;
            pupil.name = std::string(1, static_cast<char>('A' + i % 26)) + "pupil";
            pupil.sex = 1 + i % 2;
            pupil.headImage = "HeadImg" + std::to_string(pupil.sex) + ".png";
            pupil.listIndex = i;
            pupil.score = i < static_cast<int>(scores.size()) ? scores[i] : 0;
            pupil.group = i < static_cast<int>(groups.size()) ? groups[i] : 0;
            list.push_back(pupil);
        }
    }
    // The numbers of the pupils in list order.
    static std::vector<int> numbers() {
        std::vector<int> out;
        for (const StudentRecord& pupil : GDataManager::getInstance()->students) {
            out.push_back(pupil.number);
        }
        return out;
    }
    // Adds a tool made by new and init to the running scene.
    template <class T> static T* open(int z = 0) {
        T* layer = new T();
        EXPECT_TRUE(layer->init());
        layer->autorelease();
        engine::Director::getInstance()->getRunningScene()->addChild(layer, z);
        support::stepFrames(1);
        return layer;
    }
    // A PNG of one colour; the folder is made.
    static void writePicture(const std::string& path, int width, int height, const engine::Color4B& color) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
        ASSERT_NE(surface, nullptr);
        SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, color.r, color.g, color.b, color.a));
        EXPECT_EQ(IMG_SavePNG(surface, path.c_str()), 0) << IMG_GetError();
        SDL_FreeSurface(surface);
    }
    // The current lecture: course type 2, subject 4, grade 1, phase 1, lesson 1; its package folder.
    std::string chooseLecture() const { return support::chooseLecture("0204010101"); }
    struct Item {
        std::string title;
        int type;
        std::string dubbing;
    };
    // The current lecture's Topic.plist with these "Addition" items, each with a question picture
    // "q<k>.png" (200 x 120) and an answer picture "a<k>.png" in its picture folder; extra is written into the
    // array as it stands.
    void writeAddition(const std::vector<Item>& items, const std::string& extra = "") const {
        const std::string folder = chooseLecture();
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                          "<key>Addition</key><array>";
        for (size_t k = 1; k <= items.size(); ++k) {
            const Item& item = items[k - 1];
            const std::string n = std::to_string(k);
            xml += "<dict><key>Title</key><string>" + item.title + "</string><key>Stem</key><string>Question " + n +
                   "</string><key>Type</key><integer>" + std::to_string(item.type) +
                   "</integer><key>CImage</key><string>q" + n + ".png</string><key>AImage</key><string>a" + n +
                   ".png</string><key>Dubbing</key><string>" + item.dubbing + "</string></dict>";
            writePicture(folder + "TopicImg/q" + n + ".png", 200, 120, {60, 120, 230, 255});
            writePicture(folder + "TopicImg/a" + n + ".png", 200, 120, {60, 200, 90, 255});
        }
        xml += extra + "</array></dict></plist>\n";
        std::filesystem::create_directories(folder);
        engine::FileUtils::getInstance()->writeStringToFile(xml, folder + "Topic.plist");
    }
    static engine::Node* find(engine::Node* root, const std::string& name) {
        return UITools::seekChildByName(root, name);
    }
    static std::string textOf(engine::Node* root, const std::string& name) {
        auto* text = dynamic_cast<engine::ui::Text*>(find(root, name));
        return text ? text->getString() : "<no " + name + ">";
    }
    static bool shown(engine::Node* root, const std::string& name) {
        engine::Node* node = find(root, name);
        return node && node->isVisible();
    }
    // A touch on the widget named name below root; the clicks of the tools are dropped while the sound of an
    // earlier click handler is still in its handler, so each click is followed by a frame.
    static void press(engine::Node* root, const std::string& name) {
        engine::Node* node = find(root, name);
        ASSERT_NE(node, nullptr) << name;
        support::click(node);
        support::stepFrames(1);
    }
};

} // namespace tools_test
