// A program folder for a bench: a scratch folder (its "res/" the writable resource root) with the built resource
// pack searched behind it, as the client tests set it up, so that a bench writes nothing into the build tree.
#pragma once

#include <filesystem>
#include <string>

#include "platform/FileUtils.h"

namespace bench {

inline void useProgramFolder(const std::string& folder) {
    auto* files = engine::FileUtils::getInstance();
    std::filesystem::create_directories(folder + "/res");
    files->setDefaultResourceRootPath(folder + "/");
    files->setSearchPaths({folder + "/", TEST_PROGRAM_DIR "/"});
    for (const char* pack : {"Plist/", "Layouts/", "Images/", "Animations/", "Sounds/"}) {
        files->addSearchPath(std::string(TEST_PROGRAM_DIR "/") + pack);
    }
}

} // namespace bench
