#include "net/UnzipJob.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "net/ZipUnpacker.h"

namespace {

constexpr int kNice = 10;

} // namespace

UnzipJob::UnzipJob(std::string zipPath, std::string folder, std::string identify)
    : _zipPath(std::move(zipPath)), _folder(std::move(folder)), _identify(std::move(identify)) {
    _thread = std::thread([this] { run(); });
}

UnzipJob::~UnzipJob() {
    if (_thread.joinable()) {
        _thread.join();
    }
}

void UnzipJob::run() {
    // Below the frame loop: the frames keep their CPU while a package is extracted. The extraction's own worker
    // threads inherit this.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kNice);
    _ok = _identify.empty() ? ZipUnpacker::unpack(_zipPath, _folder)
                            : ZipUnpacker::unpackPackage(_zipPath, _folder, _identify);
    _done.store(true, std::memory_order_release);
}

bool UnzipJob::result() {
    if (_thread.joinable()) {
        _thread.join();
    }
    return _ok;
}
