// Operations that touch the operating system or the client's identity.
#pragma once

#include <string>

#include "base/Ref.h"

class PlatformFunc : public engine::Ref {
public:
    static PlatformFunc* getInstance();

    virtual bool init() { return true; }

    // "ClientVersion" and "ClientBuild" of "Configs.plist", "" when missing.
    std::string getClientVersion() const;
    std::string getClientBuild() const;
    // "Version:%s(%s)" with the version and the build.
    std::string getVersionString() const;

    // Starts "QuorvelWinUpdate.exe" from the program folder (directly, no shell) when it is an executable file,
    // then ends the process with code 0 in any case.
    [[noreturn]] void runUpdater();

    bool isDirExist(const std::string& folder) const;
    // Deletes the folder with everything in it. Links inside are removed as links and never followed; a link
    // given as the folder is removed itself. A folder that cannot be removed is logged.
    void removeDir(const std::string& folder);
    // Extracts every entry next to the zip (into the folder that holds it); true when all of it is in place.
    // Defined in net/PlatformUnzip.cpp, beside the archive door.
    bool unzipFile(const std::string& zipPath);

private:
    PlatformFunc() = default;
};
