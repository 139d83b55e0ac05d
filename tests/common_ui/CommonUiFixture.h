// A headless director with the resource pack of the program folder, a scratch folder searched first, and the
// log and the played sounds captured.
#pragma once

#include <string>
#include <vector>

#include "audio/AudioEngine.h"
#include "base/Log.h"
#include "common/GDataManager.h"
#include "platform/FileUtils.h"
#include "support/Headless.h"

namespace common_ui {

class CommonUiTest : public support::HeadlessTest {
protected:
    void SetUp() override {
        support::HeadlessTest::SetUp();
        engine::FileUtils* files = engine::FileUtils::getInstance();
        savedRoot = files->getDefaultResourceRootPath();
        savedSearchPaths = files->getSearchPaths();
        files->setDefaultResourceRootPath(TEST_PROGRAM_DIR "/");
        files->setSearchPaths({scratch.path() + "/", ""});
        for (const char* path : {"Plist/", "Layouts/", "Images/", "Animations/", "Sounds/"}) {
            files->addSearchPath(path);
        }
        GDataManager::getInstance()->screenOffsetY = 0.f;
        engine::setLogSink([this](const std::string& line) { logLines.push_back(line); });
        engine::AudioEngine::setPlayObserver([this](const std::string& path, int id) { playedSounds.push_back(path); });
    }

    void TearDown() override {
        support::HeadlessTest::TearDown();
        engine::AudioEngine::setPlayObserver(nullptr);
        engine::setLogSink(nullptr);
        GDataManager::getInstance()->screenOffsetY = 0.f;
        engine::FileUtils* files = engine::FileUtils::getInstance();
        files->setDefaultResourceRootPath(savedRoot);
        files->setSearchPaths(savedSearchPaths);
    }

    // Writes a file into the scratch folder, which the search paths try first.
    void writeScratch(const std::string& name, const std::string& text) {
        const std::string path = scratch.file(name);
        const size_t slash = path.find_last_of('/');
        engine::FileUtils::getInstance()->createDirectory(path.substr(0, slash));
        engine::FileUtils::getInstance()->writeStringToFile(text, path);
    }

    bool logged(const std::string& text) const {
        for (const std::string& line : logLines) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    support::ScratchDir scratch;
    std::vector<std::string> logLines;
    std::vector<std::string> playedSounds;

private:
    std::string savedRoot;
    std::vector<std::string> savedSearchPaths;
};

// A layout file with the given root children (JSON node objects).
inline std::string layoutJson(const std::string& children) {
    return R"({ "format": "classroom-layout", "version": 1, "root": { "kind": "Node", "children": [)" + children +
           "] } }";
}

} // namespace common_ui
