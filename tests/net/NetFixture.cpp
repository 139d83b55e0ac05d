#include "NetFixture.h"

#include <filesystem>

#include "base/Log.h"
#include "common/GDataManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"

namespace nettest {

void NetFolderTest::SetUp() {
    auto* files = engine::FileUtils::getInstance();
    _oldRoot = files->getDefaultResourceRootPath();
    _oldSearchPaths = files->getSearchPaths();
    files->setDefaultResourceRootPath(programFolder());
    files->setSearchPaths({""});
    std::filesystem::create_directories(programFolder() + "res");
    GDataManager::getInstance()->init();
    engine::setLogSink([this](const std::string& line) { logLines.push_back(line); });
    support::setWaitWatch([this] { return failures.next(logLines); });
}

void NetFolderTest::TearDown() {
    support::setWaitWatch(nullptr);
    engine::setLogSink(nullptr);
    GDataManager::getInstance()->init();
    auto* files = engine::FileUtils::getInstance();
    files->setDefaultResourceRootPath(_oldRoot);
    files->setSearchPaths(_oldSearchPaths);
}

int NetFolderTest::countLogLines(const std::string& text) const {
    int count = 0;
    for (const auto& line : logLines) {
        count += line.find(text) != std::string::npos ? 1 : 0;
    }
    return count;
}

bool NetFolderTest::readsAsReady(const std::string& identify) const {
    return SqManager::getInstance()->getCoursewareByIdentify(identify).downloaded &&
           engine::FileUtils::getInstance()->isDirectoryExist(netRes() + identify);
}

} // namespace nettest
