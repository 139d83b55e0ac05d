// PlatformFunc::unzipFile lives beside the archive door it calls, so that common/ needs nothing of net/.
#include "common/PlatformFunc.h"
#include "net/ZipUnpacker.h"

bool PlatformFunc::unzipFile(const std::string& zipPath) {
    const size_t slash = zipPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : zipPath.substr(0, slash + 1);
    return ZipUnpacker::unpack(zipPath, folder);
}
