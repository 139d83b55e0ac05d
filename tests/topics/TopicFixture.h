// A lecture package in a scratch resource root: Topic.plist, pictures and layouts written by each test.
#pragma once

#include <SDL.h>
#include <SDL_image.h>

#include <filesystem>
#include <string>

#include "base/Director.h"
#include "base/Value.h"
#include "common/GDataManager.h"
#include "common_ui/CommonUiFixture.h"
#include "net/FileManager.h"
#include "scene/Scene.h"
#include "topics/TopicLayer.h"
#include "topics/TopicManage.h"

namespace topics_test {

class TopicTest : public common_ui::CommonUiTest {
protected:
    void SetUp() override {
        common_ui::CommonUiTest::SetUp();
        // The package lies under the scratch root; the resource pack stays reachable by absolute paths.
        engine::FileUtils* files = engine::FileUtils::getInstance();
        files->setDefaultResourceRootPath(scratch.path() + "/");
        files->setSearchPaths({scratch.path() + "/"});
        for (const char* folder : {"Plist/", "Layouts/", "Images/", "Animations/", "Sounds/", "Fonts/"}) {
            files->addSearchPath(std::string(TEST_PROGRAM_DIR "/") + folder);
        }
        GDataManager* data = GDataManager::getInstance();
        data->courseTypeCode = 1;
        data->subjectCode = 1;
        data->gradeCode = 1;
        data->phaseCode = 1;
        data->lessonNumber = 1;
        TopicManage* topics = TopicManage::getInstance();
        topics->topics.clear();
        topics->contentKind = 1;
        topics->currentTopic = 0;
        topics->stepCount = 0;
        topics->voiceBusy = false;
        topics->contentVoiceHandler = nullptr;
    }

    void TearDown() override {
        TopicManage::getInstance()->topics.clear();
        TopicManage::getInstance()->contentVoiceHandler = nullptr;
        GDataManager* data = GDataManager::getInstance();
        data->courseTypeCode = data->subjectCode = data->gradeCode = data->phaseCode = data->lessonNumber = 0;
        common_ui::CommonUiTest::TearDown();
    }

    std::string packagePath() const {
        const std::string plist = FileManager::getInstance()->getTopicPlistPath();
        return plist.substr(0, plist.size() - std::string("Topic.plist").size());
    }

    // Writes the package's Topic.plist with the given "Subject" map and loads the kind's topics.
    void writeTopics(const engine::ValueMap& subject) {
        engine::FileUtils* files = engine::FileUtils::getInstance();
        files->createDirectory(packagePath());
        ASSERT_TRUE(files->writeValueMapToFile({{"Subject", engine::Value(subject)}},
                                               FileManager::getInstance()->getTopicPlistPath()));
        TopicManage::getInstance()->loadTopics();
    }

    void writeKindTopics(const engine::ValueVector& topics) {
        writeTopics({{std::to_string(TopicManage::getInstance()->contentKind), engine::Value(topics)}});
    }

    // Chooses the demo lecture identify (10 digits) and unpacks its generated package under "NetRes/".
    void useDemoLecture(const std::string& identify) {
        GDataManager* data = GDataManager::getInstance();
        data->courseTypeCode = std::stoi(identify.substr(0, 2));
        data->subjectCode = std::stoi(identify.substr(2, 2));
        data->gradeCode = std::stoi(identify.substr(4, 2));
        data->phaseCode = std::stoi(identify.substr(6, 2));
        data->lessonNumber = std::stoi(identify.substr(8, 2));
        namespace fs = std::filesystem;
        fs::copy(fs::path(TEST_PROGRAM_DIR "/demo-topics") / identify, packagePath(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }

    // A host on a plain scene showing the topic of that layout code from the demo lecture identify.
    TopicLayer* openDemoTopic(const std::string& identify, int code) {
        useDemoLecture(identify);
        TopicManage* topics = TopicManage::getInstance();
        for (int kind = 1; kind <= 3; ++kind) {
            topics->contentKind = kind;
            topics->loadTopics();
            for (int i = 0; i < topics->getTopicCount(); ++i) {
                topics->currentTopic = i;
                if (topics->getLayoutModel() != code) {
                    continue;
                }
                support::runScene(engine::Scene::create());
                TopicLayer* host = TopicLayer::create();
                engine::Director::getInstance()->getRunningScene()->addChild(host);
                host->selectTopic(i);
                support::stepFrames(2);
                return host;
            }
        }
        ADD_FAILURE() << "no demo topic " << code;
        return nullptr;
    }

    // A plain picture of w x h pixels at path (folders made).
    static void writePicture(const std::string& path, int w, int h) {
        engine::FileUtils::getInstance()->createDirectory(path.substr(0, path.find_last_of('/')));
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
        SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, 90, 160, 220, 255));
        IMG_SavePNG(surface, path.c_str());
        SDL_FreeSurface(surface);
    }
};

} // namespace topics_test
