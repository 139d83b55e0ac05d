// The demo lectures' games, each opened in a game frame on a plain scene as the lesson opens it.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Director.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "games/GameLayer.h"
#include "games/GameManager.h"
#include "scene/Scene.h"
#include "support/DemoTopics.h"
#include "support/Headless.h"

namespace bench {

// The identify codes of the demo server's packages, in order.
inline std::vector<std::string> demoPackages() {
    std::vector<std::string> identifies;
    for (const auto& entry : std::filesystem::directory_iterator(TEST_SOURCE_DIR "/server/packages")) {
        identifies.push_back(entry.path().filename().string());
    }
    std::sort(identifies.begin(), identifies.end());
    return identifies;
}

// The package of that demo lecture unpacked where the client looks for the current lecture.
inline void useDemoGame(const std::string& identify) {
    namespace fs = std::filesystem;
    const std::string folder = support::chooseLecture(identify);
    fs::create_directories(folder);
    fs::copy(fs::path(TEST_SOURCE_DIR "/server/packages") / identify, folder,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

// Five pupils of the class, for the game's pupil icons.
inline void addDemoPupils() {
    std::vector<StudentRecord>& pupils = GDataManager::getInstance()->students;
    for (int i = 0; i < 5; ++i) {
        StudentRecord pupil;
        pupil.id = 1001 + i;
        pupil.name = "Pupil " + std::to_string(i + 1);
        pupil.sex = 1 + i % 2;
        pupil.headImage = "HeadImg" + std::to_string(pupil.sex) + ".png";
        pupils.push_back(pupil);
    }
}

// The first demo lecture whose game is of that model number (model / 10) made current; false when none is.
inline bool useFirstDemoGameOfModel(int number) {
    for (const std::string& identify : demoPackages()) {
        useDemoGame(identify);
        if (GameManager::getInstance()->getGameModel() / 10 == number) {
            return true;
        }
    }
    return false;
}

// A game frame with its game on a plain scene, the first pupil chosen and, when start, the game started.
inline GameLayer* openDemoGame(bool start) {
    support::runScene(engine::Scene::create());
    auto* frame = new GameLayer();
    frame->init();
    frame->autorelease();
    engine::Director::getInstance()->getRunningScene()->addChild(frame);
    support::waitFor([frame] { return frame->rootNode != nullptr; });
    // Pieces that pop in before the start.
    support::stepFrames(90);
    if (!frame->studentIcons.empty()) {
        support::click(UITools::seekChildByName(frame->studentIcons[0], "IconFrame"));
        support::stepFrames(1);
    }
    if (start) {
        frame->onStartBtn();
    }
    return frame;
}

} // namespace bench
