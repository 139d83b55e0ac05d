// The 10 s 1280x720 30 fps movie played by the video page's own player over the real lesson player, headless: the
// demo teacher logged in to the demo server, lecture 2 of a three-lecture list chosen with the demo packages
// unpacked, the lesson scene opened on its opening video page, and its play button pressed. The page's movie
// (lecture 1's summary) is the benchmark movie. Frames are stepped at 60 a second with the director's clock, as the
// program runs them. Each run is a fresh process, so no run inherits another's memory. Measured per run: the
// process's CPU time (all threads, CLOCK_PROCESS_CPUTIME_ID) per second of movie and the main thread's share,
// VmRSS before the lesson, with the lesson open, and at most while the movie plays (sampled six times a second, with
// its anonymous and file-backed parts at that moment), the source's frames that reached the screen, and the main
// thread's time in the frames that uploaded a new picture.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchCompare.h"
#include "BenchProcess.h"
#include "CoursewareServer.h"
#include "base/Director.h"
#include "common/GDataManager.h"
#include "lesson/LogicTopicScene.h"
#include "lesson/SFVideoPlayer.h"
#include "lesson/VideoPlaySprite.h"
#include "net/CoursewareManager.h"
#include "net/FileManager.h"
#include "net/HttpManager.h"
#include "platform/FileUtils.h"
#include "support/ClientTest.h"
#include "support/Headless.h"
#include "support/LectureChoice.h"

namespace fs = std::filesystem;
using bench::cpuSeconds;
using bench::statusMegabytes;
using support::childOf;

namespace {

constexpr int kRuns = 3;
constexpr int kSourceFrames = 300; // 10 s at 30 fps, as the build makes the movie
constexpr double kMovieSeconds = kSourceFrames / 30.0;
constexpr int kLecture = 2;

// What one run measured, printed by the child on one line in this order.
enum Field {
    Cpu,
    MainCpu,
    RssBefore,
    RssLesson,
    RssMax,
    AnonAtMax,
    FileAtMax,
    Shown,
    Decoded,
    NewMin,
    NewMedian,
    NewMax,
    NewCpuMedian,
    OtherMedian,
    Seconds,
    kFieldCount
};
using Figures = std::array<double, kFieldCount>;

// Lecture kLecture chosen as the lesson tests choose it, with the benchmark movie as lecture 1's summary, the page's
// movie.
bool chooseLecture() {
    support::Lecture lecture;
    lecture.lesson = kLecture;
    support::chooseLecture(lecture);
    CoursewareManager* courseware = CoursewareManager::getInstance();
    const std::string movie = FileManager::getInstance()->getSumMoviePath(courseware->currentList[0]) + ".mp4";
    std::error_code error;
    fs::create_directories(fs::path(movie).parent_path(), error);
    return fs::copy_file(TEST_PROGRAM_DIR "/bench-media/Video10s.mp4", movie, fs::copy_options::overwrite_existing,
                         error);
}

// The program as the lesson tests set it up: a program folder with the resource pack behind it, the demo server, the
// director headless at 1280x720.
class LessonProgram : public support::ClientTest {
public:
    LessonProgram() { SetUp(); }
    ~LessonProgram() override { TearDown(); }
    void TestBody() override {}

    // The demo teacher logged in, the lesson opened, the movie played; false when a step did not happen.
    bool playOverLesson(Figures& run);
};

bool LessonProgram::playOverLesson(Figures& run) {
    engine::FileUtils::getInstance()->addSearchPath(FileManager::getInstance()->getNetResPath());
    logIn();
    if (HttpManager::getInstance()->token.empty() || !chooseLecture()) {
        std::fprintf(stderr, "bench_lesson_movie: no login, or no packages and movie\n");
        return false;
    }
    run[RssBefore] = statusMegabytes("VmRSS:");

    engine::Director* director = engine::Director::getInstance();
    LogicTopicScene* scene = LogicTopicScene::create();
    support::runScene(scene);
    if (!support::waitFor([] { return support::findByName("Img_LoadingBg") == nullptr; }) ||
        !support::findByName("PlayBtn")) {
        std::fprintf(stderr, "bench_lesson_movie: the lesson did not open on its video page\n");
        return false;
    }
    support::stepFrames(60);
    run[RssLesson] = statusMegabytes("VmRSS:");

    const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double mainStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    support::click("PlayBtn");
    SFVideoPlayer* player = childOf<SFVideoPlayer>(scene);
    VideoPlaySprite* video = player ? player->getVideoSprite() : nullptr;
    if (!video) {
        std::fprintf(stderr, "bench_lesson_movie: the play button opened no movie\n");
        return false;
    }
    std::vector<double> newWall, newCpu, otherWall;
    const auto begin = bench::Clock::now();
    auto next = begin;
    for (int frame = 1; !video->isEndReached() && bench::millisecondsSince(begin) < 20000; ++frame) {
        next += std::chrono::microseconds(16667);
        const uint64_t shown = video->getShownFrameCount();
        const auto start = bench::Clock::now();
        const double cpuStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        director->mainLoop(support::kFrame);
        const double wall = bench::millisecondsSince(start);
        if (video->getShownFrameCount() != shown) {
            newWall.push_back(wall);
            newCpu.push_back((cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart) * 1e3);
        } else {
            otherWall.push_back(wall);
        }
        if (frame % 10 == 0) {
            const double rss = statusMegabytes("VmRSS:");
            if (rss > run[RssMax]) {
                run[RssMax] = rss;
                run[AnonAtMax] = statusMegabytes("RssAnon:");
                run[FileAtMax] = statusMegabytes("RssFile:");
            }
        }
        std::this_thread::sleep_until(next);
    }
    run[Seconds] = bench::millisecondsSince(begin) / 1000.0;
    run[Cpu] = 100.0 * (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart) / kMovieSeconds;
    run[MainCpu] = 100.0 * (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - mainStart) / kMovieSeconds;
    // The last picture may be handed over just after the end is reported.
    support::stepFrames(3);
    run[Shown] = static_cast<double>(video->getShownFrameCount());
    run[Decoded] = static_cast<double>(video->getDecodedFrameCount());
    const bench::Spread picture = bench::spreadOf(newWall);
    run[NewMin] = picture.min;
    run[NewMedian] = picture.median;
    run[NewMax] = picture.max;
    run[NewCpuMedian] = bench::spreadOf(newCpu).median;
    run[OtherMedian] = bench::spreadOf(otherWall).median;
    if (!video->isEndReached()) {
        std::fprintf(stderr, "bench_lesson_movie: the movie did not end in 20 s\n");
        return false;
    }
    return true;
}

int childMain() {
    Figures run{};
    if (!LessonProgram().playOverLesson(run)) {
        return 1;
    }
    std::printf("result");
    for (const double value : run) {
        std::printf(" %.4f", value);
    }
    std::printf("\n");
    return 0;
}

// One fresh process's run; false when it failed or printed no result.
bool freshRun(Figures& run) {
    std::string output;
    if (!bench::freshProcessOutput(bench::selfPath(), {}, output)) {
        return false;
    }
    const size_t at = output.find("result ");
    if (at == std::string::npos) {
        return false;
    }
    std::istringstream line(output.substr(at + 7));
    for (double& value : run) {
        line >> value;
    }
    return !line.fail();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--fresh") == 0) {
        return childMain();
    }
    std::printf("lesson player with the 1280x720 30 fps movie of %d frames, %d runs in fresh processes\n",
                kSourceFrames, kRuns);
    std::printf("at start: %s\n", bench::machineLoad().c_str());
    std::vector<Figures> runs;
    for (int i = 0; i < kRuns; ++i) {
        const std::string load = bench::machineLoad();
        Figures run{};
        if (!freshRun(run)) {
            std::printf("run %d failed\n", i + 1);
            return 1;
        }
        runs.push_back(run);
        std::printf("run %d (%s): CPU %.1f %% of a core (main thread %.1f %%), VmRSS %.1f MB before the lesson, "
                    "%.1f MB with it open, %.1f MB at most while playing (anonymous %.1f, file %.1f), %.0f of %d "
                    "frames shown (%.0f decoded), frame with a new picture %.2f / %.2f / %.2f ms, played in %.1f s\n",
                    i + 1, load.c_str(), run[Cpu], run[MainCpu], run[RssBefore], run[RssLesson], run[RssMax],
                    run[AnonAtMax], run[FileAtMax], run[Shown], kSourceFrames, run[Decoded], run[NewMin],
                    run[NewMedian], run[NewMax], run[Seconds]);
    }
    std::printf("min / median / max over the runs:\n");
    const struct {
        const char* what;
        Field field;
        const char* unit;
    } rows[] = {
        {"CPU per second of movie (goal < 20)", Cpu, "% of a core"},
        {"  main thread", MainCpu, "% of a core"},
        {"VmRSS before the lesson", RssBefore, "MB"},
        {"VmRSS with the lesson open", RssLesson, "MB"},
        {"VmRSS at most while playing (goal < 120)", RssMax, "MB"},
        {"  anonymous at that moment", AnonAtMax, "MB"},
        {"  file-backed at that moment", FileAtMax, "MB"},
        {"frames shown of 300 (goal >= 285)", Shown, ""},
        {"frame with a new picture, min", NewMin, "ms"},
        {"frame with a new picture, median", NewMedian, "ms"},
        {"frame with a new picture, max", NewMax, "ms"},
        {"  its main-thread CPU, median", NewCpuMedian, "ms"},
        {"frame without a new picture, median", OtherMedian, "ms"},
    };
    for (const auto& row : rows) {
        std::vector<double> values;
        for (const Figures& run : runs) {
            values.push_back(run[row.field]);
        }
        const bench::Spread spread = bench::spreadOf(values);
        std::printf("  %-44s %8.2f / %8.2f / %8.2f %s\n", row.what, spread.min, spread.median, spread.max, row.unit);
    }
    std::printf("at end: %s\n", bench::machineLoad().c_str());
    return 0;
}
