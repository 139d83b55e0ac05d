#include "support/PackResources.h"

#include "platform/FileUtils.h"

namespace support {

PackResources::PackResources() {
    engine::FileUtils* files = engine::FileUtils::getInstance();
    _savedRoot = files->getDefaultResourceRootPath();
    _savedSearchPaths = files->getSearchPaths();
    files->setDefaultResourceRootPath(TEST_PROGRAM_DIR "/");
    files->setSearchPaths({"", "Plist/", "Layouts/", "Images/", "Animations/", "Sounds/"});
}

PackResources::~PackResources() {
    engine::FileUtils* files = engine::FileUtils::getInstance();
    files->setDefaultResourceRootPath(_savedRoot);
    files->setSearchPaths(_savedSearchPaths);
}

} // namespace support
