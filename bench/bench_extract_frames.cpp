// Frames while a ~100 MB courseware package is extracted behind the download overlay: the longest frame with the
// extraction queue's worker thread, and, in the same run, the frame that extracts the package itself, as the
// queue did before it had the thread.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchPackage.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "lesson/DownloadLayer.h"
#include "common/FileManager.h"
#include "net/SqManager.h"
#include "net/ZipUnpacker.h"
#include "platform/FileUtils.h"
#include "scene/Scene.h"
#include "support/Headless.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kIdentify = "0102030104";
constexpr int kRuns = 3;

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct FrameTimes {
    double longest = 0;
    int frames = 0;
    double total = 0;
};

// Frames of 1/60 s until the queue has handed the package back.
FrameTimes extractBehindFrames(const std::string& zip, bool& ok) {
    bool done = false;
    SqManager::getInstance()->addUnzipTask(zip, [&](const std::string&, bool extracted) {
        done = true;
        ok = extracted;
    });
    FrameTimes times;
    const auto start = Clock::now();
    while (!done) {
        const auto frameStart = Clock::now();
        engine::Director::getInstance()->mainLoop(1.f / 60.f);
        times.longest = std::max(times.longest, milliseconds(Clock::now() - frameStart));
        ++times.frames;
    }
    times.total = milliseconds(Clock::now() - start);
    return times;
}

// One frame that runs the whole extraction on the main thread.
double extractInOneFrame(const std::string& zip, const std::string& netRes, bool& ok) {
    const auto start = Clock::now();
    engine::Director::getInstance()->mainLoop(1.f / 60.f);
    ok = ZipUnpacker::unpackPackage(zip, netRes, kIdentify);
    return milliseconds(Clock::now() - start);
}

} // namespace

int main() {
    char pattern[] = "/tmp/bench-extract-frames-XXXXXX";
    if (!mkdtemp(pattern)) {
        return 1;
    }
    const std::string root = std::string(pattern) + "/";
    fs::create_directories(root + "res");
    support::startHeadless();
    auto* files = engine::FileUtils::getInstance();
    files->setDefaultResourceRootPath(root);
    files->setSearchPaths({root, TEST_PROGRAM_DIR "/"});
    for (const char* folder : {"Plist/", "Layouts/", "Images/", "Animations/", "Sounds/"}) {
        files->addSearchPath(std::string(TEST_PROGRAM_DIR "/") + folder);
    }
    support::runScene(BaseScene::create());
    engine::Director::getInstance()->getRunningScene()->addChild(DownloadLayer::create(), 105);
    support::stepFrames(10);

    const std::string netRes = FileManager::getInstance()->getNetResPath();
    const std::string source = root + "package.zip";
    if (!bench::buildPackage(source, kIdentify)) {
        std::fprintf(stderr, "cannot build the package\n");
        return 1;
    }
    const std::string zip = netRes + kIdentify + ".zip";
    FrameTimes idle;
    const auto idleStart = Clock::now();
    for (int i = 0; i < 120; ++i) {
        const auto frameStart = Clock::now();
        engine::Director::getInstance()->mainLoop(1.f / 60.f);
        idle.longest = std::max(idle.longest, milliseconds(Clock::now() - frameStart));
        ++idle.frames;
    }
    idle.total = milliseconds(Clock::now() - idleStart);
    std::printf("no extraction: longest frame %.1f ms, mean %.1f ms over %d frames\n", idle.longest,
                idle.total / idle.frames, idle.frames);
    bool ok = true;
    for (int run = 1; run <= kRuns; ++run) {
        fs::copy_file(source, zip, fs::copy_options::overwrite_existing);
        bool extracted = false;
        const FrameTimes times = extractBehindFrames(zip, extracted);
        fs::copy_file(source, zip, fs::copy_options::overwrite_existing);
        bool inFrame = false;
        const double oneFrame = extractInOneFrame(zip, netRes, inFrame);
        ok = ok && extracted && inFrame;
        std::printf("run %d: worker thread: longest frame %.1f ms, mean %.1f ms over %d frames (%.0f ms); "
                    "extraction in the frame: %.1f ms\n",
                    run, times.longest, times.total / times.frames, times.frames, times.total, oneFrame);
    }
    support::stopHeadless();
    fs::remove_all(pattern);
    return ok ? 0 : 1;
}
