#include "door/FileDoor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Log.h"

namespace engine::door {

namespace {

FileRead failed(const std::string& fullPath, int error) {
    log("door: cannot read %s: %s", fullPath.c_str(), std::strerror(error));
    FileRead read;
    read.status = FileRead::Status::FAILED;
    read.error = error;
    return read;
}

} // namespace

FileRead readFile(const std::string& fullPath, uint64_t maxBytes) {
    FileRead read;
    int fd = ::open(fullPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return read;
        }
        return failed(fullPath, errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        int error = errno;
        ::close(fd);
        return failed(fullPath, error);
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        return read;
    }
    if (static_cast<uint64_t>(info.st_size) > maxBytes) {
        ::close(fd);
        log("door: %s is longer than %llu bytes", fullPath.c_str(), static_cast<unsigned long long>(maxBytes));
        read.status = FileRead::Status::TOO_LONG;
        return read;
    }
    // The size is a hint only: a file that grows while it is read is still cut at the cap.
    read.bytes.resize(static_cast<size_t>(info.st_size));
    size_t filled = 0;
    for (;;) {
        if (filled == read.bytes.size()) {
            if (read.bytes.size() >= maxBytes) {
                char probe;
                ssize_t more = ::read(fd, &probe, 1);
                if (more > 0) {
                    ::close(fd);
                    log("door: %s is longer than %llu bytes", fullPath.c_str(),
                        static_cast<unsigned long long>(maxBytes));
                    return FileRead{FileRead::Status::TOO_LONG, {}, 0};
                }
                if (more == 0) {
                    break;
                }
                if (errno == EINTR) {
                    continue;
                }
                int error = errno;
                ::close(fd);
                return failed(fullPath, error);
            }
            read.bytes.resize(std::min<uint64_t>(maxBytes, read.bytes.size() + 64 * 1024));
        }
        ssize_t got = ::read(fd, read.bytes.data() + filled, read.bytes.size() - filled);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            int error = errno;
            ::close(fd);
            return failed(fullPath, error);
        }
        filled += static_cast<size_t>(got);
    }
    ::close(fd);
    read.bytes.resize(filled);
    read.status = FileRead::Status::READ;
    return read;
}

} // namespace engine::door
