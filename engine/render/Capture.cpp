#include "render/Capture.h"

#include <vector>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "platform/FileUtils.h"
#include "render/Renderer.h"

namespace engine {

namespace {
struct PendingCapture {
    std::function<void(bool, const std::string&)> callback;
    std::string path;
};
std::vector<PendingCapture> g_pending;
} // namespace

void utils::captureScreen(const std::function<void(bool, const std::string&)>& afterCaptured,
                          const std::string& filename) {
    std::string path = filename;
    if (path.empty() || path[0] != '/') {
        path = FileUtils::getInstance()->getWritablePath() + filename;
    }
    g_pending.push_back({afterCaptured, path});
}

bool hasPendingScreenCaptures() {
    return !g_pending.empty();
}

void serveScreenCaptures(Renderer* renderer) {
    if (g_pending.empty()) {
        return;
    }
    std::vector<PendingCapture> pending;
    pending.swap(g_pending);
    for (auto& capture : pending) {
        const bool ok = renderer && renderer->savePNG(capture.path);
        if (!ok) {
            log("captureScreen: cannot save %s", capture.path.c_str());
        }
        if (capture.callback) {
            auto callback = capture.callback;
            auto path = capture.path;
            Director::getInstance()->getScheduler()->performFunctionInMainThread(
                [callback, ok, path]() { callback(ok, path); });
        }
    }
}

} // namespace engine
