// The 10 s 1280x720 30 fps movie played by the video page's own player over the real lesson player, headless,
// reached as a teacher reaches it: the program's own delegate starts on the login screen, the demo teacher logs in,
// the first course type, subject, grade 1 and class 1A are clicked, lecture 2 is downloaded and unpacked from the
// lecture list and clicked, everybody signs in, three random groups are confirmed, and the lesson opens on its
// opening video page, whose play button is pressed. The page's movie (lecture 1's summary) is the benchmark movie,
// put on disk before the lecture is clicked. The demo server runs in a process of its own, forked before anything
// else, so the process measured holds the program alone; the program folder is a scratch folder under /tmp. Frames
// are stepped at 60 a second with the director's clock, as the program runs them. Each run is a fresh process, so
// no run inherits another's memory. Measured per run: the process's CPU time (all threads, CLOCK_PROCESS_CPUTIME_ID)
// per second of movie and the main thread's share, VmRSS on the login, lecture list and grouping screens, with the
// lesson open and at most while the movie plays (sampled six times a second, with its anonymous and file-backed
// parts at that moment), in MiB, the source's frames that reached the screen, and the main thread's time in the
// frames that uploaded a new picture. The runs are made twice: on the machine as it is, and with 8 busy processes
// of the bench's own beside them, and each with the road's frames as fast as they go and paced at the program's 60
// a second as the client runs them (the user's figure; the movie is paced either way): the road's wall time from
// the login's click to the lesson's play button (with the frames stepped for the teacher) and its frames.
#include <malloc.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchCompare.h"
#include "BenchLoad.h"
#include "BenchPacing.h"
#include "BenchProcess.h"
#include "BenchProgramFolder.h"
#include "CoursewareServer.h"
#include "app/AppDelegate.h"
#include "base/Director.h"
#include "common/GDataManager.h"
#include "lesson/LogicTopicScene.h"
#include "lesson/SFVideoPlayer.h"
#include "lesson/VideoPlaySprite.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "network/HttpClient.h"
#include "platform/FileUtils.h"
#include "render/Renderer.h"
#include "render/TextureCache.h"
#include "scenes/ClassScene.h"
#include "scenes/CourseScene.h"
#include "scenes/GradeScene.h"
#include "scenes/GroupScene.h"
#include "scenes/LectureScene.h"
#include "scenes/LoginScene.h"
#include "scenes/SignScene.h"
#include "scenes/SubjectScene.h"
#include "support/Headless.h"
#include "support/LectureButton.h"
#include "support/LectureChoice.h"
#include "ui/Button.h"
#include "ui/TextField.h"

namespace fs = std::filesystem;
using bench::cpuSeconds;
using bench::statusMegabytes;
using support::childOf;

namespace {

constexpr int kRuns = 3;
constexpr int kSourceFrames = 300; // 10 s at 30 fps, as the build makes the movie
constexpr double kMovieSeconds = kSourceFrames / 30.0;
constexpr int kLecture = 2;
constexpr double kCpuGoal = 20;     // % of a core, quiet and loaded
constexpr double kMemoryGoal = 110; // MiB at most while playing

// What one run measured, printed by the child on one line in this order.
enum Field {
    Cpu,
    MainCpu,
    RssLogin,
    RssLectures,
    RssGroups,
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
    RoadMs,
    RoadFrames,
    kFieldCount
};
using Figures = std::array<double, kFieldCount>;

template <class T> bool sceneIs() {
    return dynamic_cast<T*>(engine::Director::getInstance()->getRunningScene()) != nullptr;
}

// BENCH_MEMORY_DETAIL: where the memory is at a step (malloc's own figures and the textures kept).
double mib(size_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}
double memoryAt(const char* step) {
    const double rss = statusMegabytes("VmRSS:");
    if (std::getenv("BENCH_MEMORY_DETAIL")) {
        const struct mallinfo2 info = mallinfo2();
        std::fprintf(stderr,
                     "memory at %s: VmRSS %.1f MiB, malloc in use %.1f MiB, free in its heaps %.1f MiB, mapped "
                     "%.1f MiB, textures cached %zu, picture copies %.1f MiB\n",
                     step, rss, mib(info.uordblks), mib(info.fordblks), mib(info.hblkhd),
                     engine::Director::getInstance()->getTextureCache()->getTextureCount(),
                     mib(engine::Director::getInstance()->getRenderer()->getStats().tintedCopyBytes));
    }
    return rss;
}

bool failed(const char* step) {
    std::fprintf(stderr, "bench_lesson_movie: %s\n", step);
    return false;
}

// The first button the course and subject screens put on "Panel_Layout", clicked.
bool clickFirstPanelButton() {
    if (engine::Node* panel = support::findByName("Panel_Layout")) {
        for (engine::Node* item : panel->getChildren()) {
            if (engine::Node* button = support::findByName("Btn_Course", item)) {
                support::click(button);
                return true;
            }
        }
    }
    return false;
}

bool noPanel() {
    return !HttpManager::getInstance()->getLoadingPanel() && !support::findByName("Img_LoadingBg");
}

// The demo server in a process of its own, forked while this one has no thread yet; it stops when this process
// ends (its end of the pipe closes). Returns the client's base address, "" on failure.
std::string forkServer() {
    int portPipe[2], lifePipe[2];
    if (pipe(portPipe) != 0 || pipe(lifePipe) != 0) {
        return "";
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(portPipe[0]);
        close(lifePipe[1]);
        courseware::CoursewareServer server;
        const int port = server.start();
        if (write(portPipe[1], &port, sizeof port) != sizeof port) {
            _exit(1);
        }
        char byte = 0;
        while (read(lifePipe[0], &byte, 1) > 0) {
        }
        server.stop();
        _exit(0);
    }
    close(portPipe[1]);
    close(lifePipe[0]);
    int port = -1;
    if (pid < 0 || read(portPipe[0], &port, sizeof port) != sizeof port || port <= 0) {
        return "";
    }
    close(portPipe[0]);
    return "http://127.0.0.1:" + std::to_string(port) + "/api/";
}

// The program as a teacher starts it: a program folder with the resource pack behind it, the director headless at
// 1280x720, the delegate launched; the road to the lesson's play button. False when a step did not happen.
class LessonRoad {
public:
    explicit LessonRoad(const std::string& baseUrl) {
        support::startHeadless();
        bench::useProgramFolder(folder.path());
        GDataManager::getInstance()->init();
        HttpManager::getInstance()->baseUrl = baseUrl;
    }
    ~LessonRoad() {
        engine::network::HttpClient::destroyInstance();
        support::stopHeadless();
    }

    bool toTheLesson(Figures& run);

private:
    AppDelegate app;
    support::ScratchDir folder;
};

bool LessonRoad::toTheLesson(Figures& run) {
    using support::click;
    using support::waitFor;
    if (!app.applicationDidFinishLaunching() || !waitFor(sceneIs<LoginScene>) || !waitFor(noPanel)) {
        return failed("no login screen");
    }
    support::stepFrames(60);
    run[RssLogin] = memoryAt("the login");
    auto* user = dynamic_cast<engine::ui::TextField*>(support::findByName("UserName"));
    auto* password = dynamic_cast<engine::ui::TextField*>(support::findByName("PassWord"));
    if (!user || !password) {
        return failed("no account fields");
    }
    user->setString("teacher");
    password->setString("1234");
    const auto roadStart = bench::Clock::now();
    const uint64_t roadFrame = engine::Director::getInstance()->getTotalFrames();
    if (!click("Btn_Login") || !waitFor(sceneIs<CourseScene>) || !waitFor(noPanel)) {
        return failed("no course screen");
    }
    support::stepFrames(20);
    if (!clickFirstPanelButton() || !waitFor(sceneIs<SubjectScene>) || !waitFor(noPanel)) {
        return failed("no subject screen");
    }
    support::stepFrames(20);
    if (!clickFirstPanelButton() || !waitFor(sceneIs<GradeScene>) || !waitFor(noPanel)) {
        return failed("no grade screen");
    }
    support::stepFrames(30);
    if (!click("Btn_Grade1") || !waitFor(sceneIs<ClassScene>) || !waitFor(noPanel)) {
        return failed("no class screen");
    }
    support::stepFrames(30);
    if (!click("ClassImg1") || !waitFor(sceneIs<LectureScene>) || !waitFor(noPanel) ||
        !waitFor([] { return support::lectureButton(kLecture) != nullptr; })) {
        return failed("no lecture list");
    }
    support::stepFrames(40);

    // The benchmark movie as lecture 1's summary, the opening video of lecture 2.
    CoursewareManager* courseware = CoursewareManager::getInstance();
    const std::string movie = FileManager::getInstance()->getSumMoviePath(courseware->currentList.at(0)) + ".mp4";
    std::error_code error;
    fs::create_directories(fs::path(movie).parent_path(), error);
    if (!fs::copy_file(TEST_PROGRAM_DIR "/bench-media/Video10s.mp4", movie, fs::copy_options::overwrite_existing,
                       error)) {
        return failed("the movie could not be put on disk");
    }
    // Lecture 2 downloads and unpacks, then opens the sign-in.
    click(support::lectureButton(kLecture));
    if (!waitFor([courseware] { return courseware->currentList.at(kLecture - 1).state == 1; })) {
        return failed("lecture 2 did not become ready");
    }
    support::stepFrames(20);
    run[RssLectures] = memoryAt("the lecture list");
    click(support::lectureButton(kLecture));
    if (!waitFor(sceneIs<SignScene>) || !waitFor(noPanel)) {
        return failed("no sign-in screen");
    }
    support::stepFrames(20);
    if (!click("OneKeySignBtn")) {
        return failed("no sign-in button");
    }
    support::stepFrames(2);
    if (!click("ConfirmBtn") || !waitFor(sceneIs<GroupScene>)) {
        return failed("no grouping screen");
    }
    support::stepFrames(5);
    if (!click("GroupBtn3") || !click("RandomBtn")) {
        return failed("no group buttons");
    }
    support::stepFrames(20);
    run[RssGroups] = memoryAt("the grouping");
    if (!click("ConfirmBtn") || !waitFor(sceneIs<LogicTopicScene>) ||
        !waitFor([] { return support::findByName("Img_LoadingBg") == nullptr; }) || !support::findByName("PlayBtn")) {
        return failed("the lesson did not open on its video page");
    }
    run[RoadMs] = bench::millisecondsSince(roadStart);
    run[RoadFrames] = static_cast<double>(engine::Director::getInstance()->getTotalFrames() - roadFrame);
    return true;
}

bool playOverLesson(LessonRoad& road, Figures& run, bool paced) {
    {
        std::unique_ptr<bench::PacedFrames> pace;
        if (paced) {
            pace = std::make_unique<bench::PacedFrames>();
        }
        if (!road.toTheLesson(run)) {
            return false;
        }
    }
    engine::Director* director = engine::Director::getInstance();
    auto* scene = dynamic_cast<LogicTopicScene*>(director->getRunningScene());
    support::stepFrames(60);
    run[RssLesson] = memoryAt("the lesson open");
    const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double mainStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    support::click("PlayBtn");
    // The player opens once the movie passed its check.
    support::waitFor([scene] { return childOf<SFVideoPlayer>(scene) != nullptr; });
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
        if (frame % 60 == 0 && std::getenv("BENCH_MEMORY_DETAIL")) {
            memoryAt("playing");
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
    memoryAt("the movie's end");
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

int childMain(bool paced) {
    const std::string baseUrl = forkServer();
    if (baseUrl.empty()) {
        std::fprintf(stderr, "bench_lesson_movie: the demo server did not start\n");
        return 1;
    }
    Figures run{};
    LessonRoad road(baseUrl);
    if (!playOverLesson(road, run, paced)) {
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
bool freshRun(Figures& run, bool paced) {
    std::string output;
    if (!bench::freshProcessOutput(bench::selfPath(), {paced ? "paced" : "unpaced"}, output)) {
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

// kRuns fresh processes, each line printed as it ends; empty when a run failed.
std::vector<Figures> runSet(const std::string& label, bool paced) {
    std::vector<Figures> runs;
    const char* name = label.c_str();
    for (int i = 0; i < kRuns; ++i) {
        const std::string load = bench::machineLoad();
        Figures run{};
        if (!freshRun(run, paced)) {
            std::printf("%s run %d failed\n", name, i + 1);
            return {};
        }
        runs.push_back(run);
        std::printf("%s run %d (%s): CPU %.1f %% of a core (main thread %.1f %%), VmRSS %.1f MiB at the login, %.1f "
                    "at the lecture list, %.1f at the grouping, %.1f with the lesson open, %.1f at most while "
                    "playing (anonymous %.1f, file %.1f), %.0f of %d frames shown (%.0f decoded), frame with a new "
                    "picture %.2f / %.2f / %.2f ms, played in %.1f s; the road %.0f ms in %.0f frames\n",
                    name, i + 1, load.c_str(), run[Cpu], run[MainCpu], run[RssLogin], run[RssLectures], run[RssGroups],
                    run[RssLesson], run[RssMax], run[AnonAtMax], run[FileAtMax], run[Shown], kSourceFrames,
                    run[Decoded], run[NewMin], run[NewMedian], run[NewMax], run[Seconds], run[RoadMs],
                    run[RoadFrames]);
    }
    return runs;
}

void printSpread(const std::string& name, const std::vector<Figures>& runs) {
    std::printf("%s, min / median / max over the runs:\n", name.c_str());
    const struct {
        const char* what;
        Field field;
        const char* unit;
    } rows[] = {
        {"CPU per second of movie (goal < 20)", Cpu, "% of a core"},
        {"  main thread", MainCpu, "% of a core"},
        {"VmRSS at the login screen", RssLogin, "MiB"},
        {"VmRSS at the lecture list", RssLectures, "MiB"},
        {"VmRSS at the grouping screen", RssGroups, "MiB"},
        {"VmRSS with the lesson open", RssLesson, "MiB"},
        {"VmRSS at most while playing (goal < 110)", RssMax, "MiB"},
        {"  anonymous at that moment", AnonAtMax, "MiB"},
        {"  file-backed at that moment", FileAtMax, "MiB"},
        {"frames shown of 300 (goal >= 285)", Shown, ""},
        {"frame with a new picture, min", NewMin, "ms"},
        {"frame with a new picture, median", NewMedian, "ms"},
        {"frame with a new picture, max", NewMax, "ms"},
        {"  its main-thread CPU, median", NewCpuMedian, "ms"},
        {"frame without a new picture, median", OtherMedian, "ms"},
        {"the road, login to the play button", RoadMs, "ms"},
        {"  its frames", RoadFrames, ""},
    };
    for (const auto& row : rows) {
        std::vector<double> values;
        for (const Figures& run : runs) {
            values.push_back(run[row.field]);
        }
        const bench::Spread spread = bench::spreadOf(values);
        std::printf("  %-44s %8.2f / %8.2f / %8.2f %s\n", row.what, spread.min, spread.median, spread.max, row.unit);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--fresh") == 0) {
        return childMain(argc > 2 && std::strcmp(argv[2], "paced") == 0);
    }
    std::printf("lesson player with the 1280x720 30 fps movie of %d frames, %d runs in fresh processes, quiet and "
                "with %d busy processes, the road unpaced and paced\n",
                kSourceFrames, kRuns, bench::kBusyProcesses);
    std::printf("at start: %s\n", bench::machineLoad().c_str());
    bool met = true;
    double cpuMax[2] = {0, 0}, rssMax = 0;
    for (int loaded = 0; loaded < 2 && met; ++loaded) {
        std::unique_ptr<bench::BusyProcesses> busy;
        if (loaded) {
            busy = std::make_unique<bench::BusyProcesses>(bench::kBusyProcesses);
        }
        for (const bool paced : {false, true}) {
            const std::string name = std::string(loaded ? "loaded" : "quiet") + ", " + bench::pacingName(paced);
            const std::vector<Figures> runs = runSet(name, paced);
            if (runs.empty()) {
                met = false;
                break;
            }
            printSpread(name + (loaded ? " (8 busy processes beside it)" : " (the machine as it is)"), runs);
            for (const Figures& run : runs) {
                cpuMax[loaded] = std::max(cpuMax[loaded], run[Cpu]);
                rssMax = std::max(rssMax, run[RssMax]);
            }
        }
    }
    if (!met) {
        return 1;
    }
    std::printf("CPU < %.0f %% of a core in every run: quiet %s, loaded %s; VmRSS < %.0f MiB in every run: %s\n",
                kCpuGoal, cpuMax[0] < kCpuGoal ? "met" : "NOT met", cpuMax[1] < kCpuGoal ? "met" : "NOT met",
                kMemoryGoal, rssMax < kMemoryGoal ? "met" : "NOT met");
    std::printf("at end: %s\n", bench::machineLoad().c_str());
    return 0;
}
