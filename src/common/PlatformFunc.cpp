#include "common/PlatformFunc.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/PlistManager.h"
#include "common/FileManager.h"

extern char** environ;

namespace {

PlatformFunc* s_instance = nullptr;

constexpr const char* kUpdaterName = "QuorvelWinUpdate.exe";

} // namespace

PlatformFunc* PlatformFunc::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) PlatformFunc();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

std::string PlatformFunc::getClientVersion() const {
    return PlistManager::getInstance()->getString("Configs.plist", "ClientVersion");
}

std::string PlatformFunc::getClientBuild() const {
    return PlistManager::getInstance()->getString("Configs.plist", "ClientBuild");
}

std::string PlatformFunc::getVersionString() const {
    return engine::StringUtils::format("Version:%s(%s)", getClientVersion().c_str(), getClientBuild().c_str());
}

void PlatformFunc::runUpdater() {
    std::string path = FileManager::getInstance()->getExeFolder() + kUpdaterName;
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0) {
        char* argv[] = {path.data(), nullptr};
        pid_t pid = 0;
        const int result = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ);
        if (result != 0) {
            engine::log("cannot start %s: %s", path.c_str(), std::strerror(result));
        }
    } else {
        engine::log("no updater at %s", path.c_str());
    }
    // End at once, as after leaving the scenes: nothing is left open (the database closes after every use).
    std::fflush(nullptr);
    _exit(0);
}

bool PlatformFunc::isDirExist(const std::string& folder) const {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

void PlatformFunc::removeDir(const std::string& folder) {
    if (folder.empty() || std::filesystem::path(folder).lexically_normal() == "/") {
        engine::log("删除%s目录失败！", folder.c_str());
        return;
    }
    struct stat st;
    if (lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (unlink(folder.c_str()) != 0) {
            engine::log("删除%s目录失败！", folder.c_str());
        }
        return;
    }
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    for (const std::string& name : names) {
        const std::string child = prefix + name;
        if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            engine::log("目录下%s", child.c_str());
            removeDir(child);
        } else {
            unlink(child.c_str());
        }
    }
    if (rmdir(folder.c_str()) != 0) {
        engine::log("删除%s目录失败！", folder.c_str());
    }
}

