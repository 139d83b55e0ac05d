#include "platform/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/Log.h"

namespace engine {

namespace {

WholeFileSync& syncCall() {
    static WholeFileSync instance;
    return instance;
}

int syncData(int fd) {
    return syncCall() ? syncCall()(fd) : ::fsync(fd);
}

bool failed(const char* what, const std::string& path) {
    log("cannot %s %s: %s", what, path.c_str(), std::strerror(errno));
    return false;
}

bool writeAll(int fd, const std::string& content) {
    for (size_t done = 0; done < content.size();) {
        const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

// The temporary file written, synced and closed.
bool writeSynced(const std::string& part, const std::string& content, unsigned mode) {
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0) {
        return failed("write", part);
    }
    bool ok = ::fchmod(fd, static_cast<mode_t>(mode)) == 0 && writeAll(fd, content);
    ok = ok && syncData(fd) == 0;
    if (!ok) {
        failed("write", part);
    }
    if (::close(fd) != 0 && ok) {
        ok = failed("write", part);
    }
    if (!ok) {
        ::unlink(part.c_str());
    }
    return ok;
}

// Logged only: the file is already replaced, and a caller that took it as not written would keep its bytes twice.
void syncFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || syncData(fd) != 0) {
        failed("sync folder", folder);
    }
    if (fd >= 0) {
        ::close(fd);
    }
}

} // namespace

bool writeFileWhole(const std::string& path, const std::string& content, unsigned mode) {
    const std::string part = path + ".part";
    if (!writeSynced(part, content, mode)) {
        return false;
    }
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        failed("rename onto", path);
        ::unlink(part.c_str());
        return false;
    }
    syncFolder(path);
    return true;
}

bool removeFileWhole(const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
        return errno == ENOENT || failed("remove", path);
    }
    syncFolder(path);
    return true;
}

void setWholeFileSync(WholeFileSync newSync) {
    syncCall() = std::move(newSync);
}

} // namespace engine
