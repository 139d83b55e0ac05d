#include "net/DamagedFile.h"

#include <cstdio>
#include <ctime>

#include "base/Log.h"
#include "platform/FileUtils.h"

namespace DamagedFile {

std::string moveAside(const std::string& path) {
    const time_t now = time(nullptr);
    struct tm local = {};
    localtime_r(&now, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string aside = path + ".damaged-" + stamp;
    for (int n = 2; engine::FileUtils::getInstance()->isFileExist(aside); ++n) {
        aside = path + ".damaged-" + stamp + "-" + std::to_string(n);
    }
    if (std::rename(path.c_str(), aside.c_str()) != 0) {
        engine::log("cannot move the damaged %s aside", path.c_str());
        return std::string();
    }
    engine::log("damaged %s moved to %s", path.c_str(), aside.c_str());
    return aside;
}

} // namespace DamagedFile
