// Where the program's writable resources lie, and the split of a path into file name and extension.
#pragma once

#include <string>
#include <vector>

#include "base/Ref.h"

struct CoursewareData;

// Every path is computed anew; folders end with "/". The fixed folders under the resource root are created
// when missing; the resource root and the package paths never are (a package folder comes from its zip).
class FileManager : public engine::Ref {
public:
    static FileManager* getInstance();

    virtual bool init() { return true; }

    // The program folder: the engine's default resource root (the executable's folder unless moved).
    std::string getExeFolder() const;
    std::string getResRoot() const;
    std::string getCourseIconsPath() const;
    std::string getHeadImgsPath() const;
    std::string getNetResPath() const;
    std::string getSimpleGamePath() const;

    // Files of the current lecture's package (the identify code of the global data's choice).
    std::string getTopicPlistPath() const;
    std::string getSumMoviePath(const CoursewareData& record) const;
    std::string getCurrentSumMoviePath() const;
    std::string getLecMoviePath() const;
    std::string getAddMoviePath() const;
    std::string getTopicAniPath() const;
    std::string getTopicImgPath() const;
    std::string getMp3Path() const;
    std::string getGameImgPath() const;

    // The part after the last "/", cut before its first ".": ".../b/logo.v2.png" gives "logo".
    static std::string getFileName(const std::string& path);
    // The part after the last "/", from its first "." on: "x/pack.tar.zip" gives ".tar.zip"; a name without
    // a dot is returned whole ("x/README" gives "README").
    static std::string getFileSuffix(const std::string& path);

    // The engine's search paths as the login scene leaves them; users that add paths of their own set these back.
    std::vector<std::string> searchPaths;

private:
    FileManager() = default;

    // root + folder, created when missing; the path is returned also when the creation fails.
    std::string ensureFolder(const std::string& folder) const;
    std::string currentPackagePath(const char* tail) const;
};
