// Helpers for the shared-services tests: a scratch resource root, captured log lines, a clean global data.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "base/Log.h"
#include "base/Value.h"
#include "common/GDataManager.h"
#include "platform/FileUtils.h"
#include "support/Headless.h"

namespace commontest {

// Points the resource root at a scratch folder with the search paths [""]; puts both back when destroyed.
class ScratchResources {
public:
    ScratchResources() {
        engine::FileUtils* files = engine::FileUtils::getInstance();
        _savedRoot = files->getDefaultResourceRootPath();
        _savedPaths = files->getSearchPaths();
        files->setDefaultResourceRootPath(_dir.path());
        files->setSearchPaths({""});
    }
    ~ScratchResources() {
        engine::FileUtils* files = engine::FileUtils::getInstance();
        files->setDefaultResourceRootPath(_savedRoot);
        files->setSearchPaths(_savedPaths);
    }
    ScratchResources(const ScratchResources&) = delete;
    ScratchResources& operator=(const ScratchResources&) = delete;

    std::string file(const std::string& name) const { return _dir.file(name); }
    void writePlist(const std::string& name, const engine::ValueMap& root) const {
        engine::FileUtils::getInstance()->writeValueMapToFile(root, file(name));
    }
    void writeText(const std::string& name, const std::string& text) const {
        std::ofstream(file(name), std::ios::binary) << text;
    }

private:
    support::ScratchDir _dir;
    std::string _savedRoot;
    std::vector<std::string> _savedPaths;
};

// Collects engine::log lines while it lives.
class LogCapture {
public:
    LogCapture() {
        engine::setLogSink([this](const std::string& line) { lines.push_back(line); });
    }
    ~LogCapture() { engine::setLogSink(nullptr); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines;
};

// The global data as after start-up: init values and empty containers.
inline GDataManager* freshGlobalData() {
    GDataManager* data = GDataManager::getInstance();
    data->init();
    data->courseTypes.clear();
    data->classList.clear();
    data->students.clear();
    return data;
}

inline StudentRecord pupil(int id, int gameScore, int gameTime) {
    StudentRecord record;
    record.id = id;
    record.gameScore = gameScore;
    record.gameTime = gameTime;
    return record;
}

} // namespace commontest
