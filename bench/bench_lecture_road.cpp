// From the click on a ready lecture to the lesson player's first drawn frame, headless, against the demo server on
// 127.0.0.1 (the pupils' list comes from it, their head pictures are on disk already). The teacher's own time is
// left out: the 0.3 s press effect is stepped over in one frame, the sign-in and grouping are done by calls
// (everybody signed in, random groups, confirm) and the sign-in's sailing animation is skipped. Beside it, in the
// same run, the floor: replacing the scene by an empty one and drawing its first frame. Roads as they follow a lesson
// whose opening video was not played and one whose video played through, and the first road of the session; each
// with frames as fast as they go and paced at the program's 60 a second as the client runs them (the user's figure),
// as the machine is and again with 8 busy processes sharing the CPUs.
// `bench_lecture_road cycles [movie|leave]`: the memory over 20 roads instead, each back to the lecture list (with
// the opening video played through in the lesson, or left 2 s into it), with VmRSS, malloc's figures and the cached
// pictures after each, frames paced.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include "BenchFrames.h"
#include "BenchLectureChoice.h"
#include "BenchPacing.h"
#include "BenchProgramFolder.h"
#include "BenchProcess.h"
#include "CoursewareServer.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/GDataManager.h"
#include "common/JsonManager.h"
#include "lesson/LogicTopicScene.h"
#include "lesson/SFVideoPlayer.h"
#include "lesson/VideoPlaySprite.h"
#include "net/CoursewareManager.h"
#include "net/FileManager.h"
#include "net/HttpManager.h"
#include "platform/Application.h"
#include "platform/FileUtils.h"
#include "render/Renderer.h"
#include "render/TextureCache.h"
#include "scenes/GroupScene.h"
#include "scenes/LectureScene.h"
#include "scenes/SignScene.h"
#include "support/Headless.h"
#include "support/LectureButton.h"
#include "support/LectureChoice.h"
#include "ui/Button.h"

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

// BENCH_RUNS: roads a run instead of 9.
const int kRuns = std::getenv("BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("BENCH_RUNS"))) : 9;
constexpr float kFrame = 1.f / 60.f;

// BENCH_ROAD_STEPS: the main thread's CPU of each step of a road, on stderr.
struct Steps {
    static constexpr const char* kNames[] = {"click to sign-in", "sign-in to grouping", "grouping to lesson",
                                             "lesson's first frame"};
    double last = bench::threadMs();
    Clock::time_point lastWall = Clock::now();
    uint64_t lastFrame = engine::Director::getInstance()->getTotalFrames();
    void mark(int step) {
        const double now = bench::threadMs();
        const auto wall = Clock::now();
        const uint64_t frame = engine::Director::getInstance()->getTotalFrames();
        if (std::getenv("BENCH_ROAD_STEPS")) {
            std::fprintf(stderr, "step %-22s %6.1f ms CPU %6.1f ms wall, %d frames\n", kNames[step], now - last,
                         std::chrono::duration<double, std::milli>(wall - lastWall).count(),
                         static_cast<int>(frame - lastFrame));
        }
        last = now;
        lastWall = wall;
        lastFrame = frame;
    }
};

// One road into times (wall and main-thread CPU); false when it did not reach the lesson player. atList runs on the
// lecture list, before the click.
bool runRoad(bench::Times& times, const std::function<void()>& atList = {}) {
    bench::chooseLecture(101, 2);
    engine::Director* director = engine::Director::getInstance();
    director->replaceScene(LectureScene::create());
    if (!support::waitFor([] { return bench::running<LectureScene>() && support::lectureButton(2); })) {
        return false;
    }
    // Let the entry's own animations load before the click, as they have when a teacher clicks.
    support::waitFor([] { return support::findByName("Img_LoadingBg") == nullptr; });
    director->mainLoop(0.6f);
    if (atList) {
        atList();
    }

    const auto start = Clock::now();
    const double cpuStart = bench::threadMs();
    Steps steps;
    support::click(support::lectureButton(2));
    director->mainLoop(0.35f);
    if (!support::waitFor([] { return bench::running<SignScene>() != nullptr; })) {
        return false;
    }
    steps.mark(0);
    SignScene* sign = bench::running<SignScene>();
    sign->onOneKeySign();
    sign->onAnimationDone(0.f);
    if (!support::waitFor([] { return bench::running<GroupScene>() != nullptr; })) {
        return false;
    }
    steps.mark(1);
    GroupScene* group = bench::running<GroupScene>();
    group->randomGroup();
    group->onConfirm();
    if (!support::waitFor([] { return bench::running<LogicTopicScene>() != nullptr; })) {
        return false;
    }
    steps.mark(2);
    director->mainLoop(kFrame);
    steps.mark(3);
    times.cpu.push_back(bench::threadMs() - cpuStart);
    times.wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    return true;
}

// malloc's arenas (one per thread that found the others busy) and the bytes all of them hold from the system:
// mallinfo2 counts the main arena only.
std::pair<int, double> arenas() {
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    malloc_info(0, out);
    std::fclose(out);
    const std::string info(text, size);
    std::free(text);
    int count = 0;
    for (size_t at = info.find("<heap nr="); at != std::string::npos; at = info.find("<heap nr=", at + 1)) {
        ++count;
    }
    // The last "current" figure is the total over the arenas.
    const size_t total = info.rfind("<system type=\"current\" size=\"");
    const double bytes = total == std::string::npos ? 0 : std::atof(info.c_str() + total + 29);
    return {count, bytes / 1048576.0};
}

// After each road (the lecture list shown again): VmRSS and what lies behind it.
void printMemory(int cycle, double firstRss) {
    const double rss = bench::statusMegabytes("VmRSS:");
    const struct mallinfo2 info = mallinfo2();
    const auto mb = [](size_t bytes) { return bytes / 1048576.0; };
    const auto [arenaCount, arenaBytes] = arenas();
    std::printf("cycle %2d: VmRSS %6.1f MiB (%+5.1f %%), main arena: in use %5.1f MiB, free %4.1f MiB; mapped %5.1f "
                "MiB; %d arenas holding %5.1f MiB; pictures cached %zu (%.1f MiB), copies %.1f MiB\n",
                cycle, rss, firstRss > 0 ? 100.0 * (rss - firstRss) / firstRss : 0.0, mb(info.uordblks),
                mb(info.fordblks), mb(info.hblkhd), arenaCount, arenaBytes,
                engine::Director::getInstance()->getTextureCache()->getTextureCount(),
                mb(engine::Director::getInstance()->getTextureCache()->getPixelBytes()),
                mb(engine::Director::getInstance()->getRenderer()->getStats().tintedCopyBytes));
    std::fflush(stdout);
}

// The opening video played to its end (or for at most seconds), at 60 frames a second.
bool playMovie(double seconds = 30) {
    // The lesson's loading layer takes every touch until its animations are in.
    support::waitFor([] { return support::findByName("Img_LoadingBg") == nullptr; });
    support::click("PlayBtn");
    // The player opens once the movie passed its check.
    support::waitFor(
        [] { return support::childOf<SFVideoPlayer>(engine::Director::getInstance()->getRunningScene()) != nullptr; });
    auto* player = support::childOf<SFVideoPlayer>(engine::Director::getInstance()->getRunningScene());
    VideoPlaySprite* video = player ? player->getVideoSprite() : nullptr;
    if (!video) {
        std::fprintf(stderr, "bench_lecture_road: the play button opened no movie\n");
        return false;
    }
    auto next = Clock::now();
    const auto end = next + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (!video->isEndReached() && Clock::now() < end) {
        next += std::chrono::microseconds(16667);
        engine::Director::getInstance()->mainLoop(kFrame);
        std::this_thread::sleep_until(next);
    }
    return video->isEndReached() || seconds < 30;
}

int runCycles(bool movie, bool leave) {
    constexpr int kCycles = 20;
    bench::PacedFrames pace;
    std::printf("memory over %d lecture roads%s, each back to the lecture list, paced (goal: within 10 %% of cycle "
                "2)\n",
                kCycles, leave ? " leaving the lesson 2 s into its opening video" : movie ? " with the opening video played" : "");
    bench::printMachineLoad("at the start");
    double firstRss = 0;
    // Road n + 1's lecture list shows what road n left.
    for (int road = 1; road <= kCycles + 1; ++road) {
        bench::Times times;
        const auto atList = [&firstRss, road] {
            support::stepFrames(60);
            if (road == 2) {
                firstRss = bench::statusMegabytes("VmRSS:");
            }
            if (road > 1) {
                printMemory(road - 1, firstRss);
            }
        };
        if (!runRoad(times, atList) || (road <= kCycles && (movie || leave) && !playMovie(leave ? 2 : 30))) {
            std::fprintf(stderr, "bench_lecture_road: road %d did not reach the lesson player or its movie\n", road);
            return 1;
        }
        // A second in the lesson, as a teacher stays there.
        support::stepFrames(60);
    }
    bench::printMachineLoad("at the end");
    return 0;
}

double runFloor() {
    const auto start = Clock::now();
    engine::Director::getInstance()->replaceScene(BaseScene::create());
    engine::Director::getInstance()->mainLoop(kFrame);
    engine::Director::getInstance()->mainLoop(kFrame);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const bool cycles = argc > 1 && std::string(argv[1]) == "cycles";
    const bool movie = argc > 2 && std::string(argv[2]) == "movie";
    const bool leave = argc > 2 && std::string(argv[2]) == "leave";
    engine::Application::fixMmapThreshold();
    support::startHeadless();
    const fs::path folder = fs::temp_directory_path() / ("bench_lecture_road_" + std::to_string(getpid()));
    bench::useProgramFolder(folder.string());
    GDataManager::getInstance()->init();

    courseware::CoursewareServer server;
    if (server.start() <= 0) {
        std::fprintf(stderr, "bench_lecture_road: the server did not start\n");
        return 1;
    }
    bench::logIn(server.baseUrl());

    // Lecture 2's opening video (lecture 1's summary) is on disk.
    const std::string movieFolder = FileManager::getInstance()->getNetResPath() + "0101010101/mp4/";
    fs::create_directories(movieFolder);
    const fs::path served = courseware::CoursewareServer::defaultDataDir() / "files/coursefiles";
    fs::copy_file(served / "SumMovie.mp4", movieFolder + "SumMovie.mp4", fs::copy_options::overwrite_existing);
    fs::copy_file(served / "SumMovie.png", movieFolder + "SumMovie.png", fs::copy_options::overwrite_existing);

    if (cycles) {
        const int status = runCycles(movie, leave);
        support::stopHeadless();
        server.stop();
        fs::remove_all(folder);
        return status;
    }
    std::printf("lecture click to the lesson player's first frame, %d roads a run (goal, paced: median < 150 ms; "
                "after a played movie < 100 ms; the session's first road < 150 ms)\n",
                kRuns);
    bench::printMachineLoad("at the start");
    bench::printTimesHeader("measure");
    // The session's first road downloads the head pictures; the others find them on disk.
    bench::Times first;
    {
        bench::PacedFrames pace;
        if (!runRoad(first)) {
            std::fprintf(stderr, "bench_lecture_road: the road did not reach the lesson player\n");
            return 1;
        }
    }
    bench::printTimes("the session's first road, paced", false, first, 150);
    bool reached = true;
    const auto printMedian = [](const char* label, bool loaded, const bench::Times& times, double goal) {
        const double median = bench::spreadOf(times.wall).median;
        std::printf("%-44s %-7s %.1f ms, < %.0f ms: %s\n", label, bench::runName(loaded), median, goal,
                    median < goal ? "met" : "NOT met");
    };
    bench::quietThenLoaded([&](bool loaded) {
        bench::unpacedThenPaced([&](bool paced) {
            bench::Times road, afterMovie, floor;
            for (int run = 0; run < kRuns && reached; ++run) {
                // A road from a lesson left before its movie, then the movie played through, then a road from it.
                reached = runRoad(road) && playMovie() && runRoad(afterMovie);
                if (!reached) {
                    std::fprintf(stderr, "bench_lecture_road: run %d did not reach the lesson player\n", run + 1);
                }
                floor.wall.push_back(runFloor());
            }
            if (!reached) {
                return;
            }
            const std::string how = std::string(", ") + bench::pacingName(paced);
            bench::printTimes(("to the lesson player" + how).c_str(), loaded, road, paced ? 150 : 0);
            bench::printTimes(("  after a played movie" + how).c_str(), loaded, afterMovie, paced ? 100 : 0);
            bench::printTimes(("floor (empty scene drawn)" + how).c_str(), loaded, floor, 0);
            if (paced) {
                printMedian("  median road, paced", loaded, road, 150);
                printMedian("  median road after a movie, paced", loaded, afterMovie, 100);
            }
        });
    });
    bench::printMachineLoad("at the end");
    if (!reached) {
        return 1;
    }
    support::stopHeadless();
    server.stop();
    fs::remove_all(folder);
    return 0;
}
