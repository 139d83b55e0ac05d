// The courseware download queue against the demo server: download, extraction and record, retries with a wait,
// and updates of downloaded packages.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <utility>

#include "CoursewareServer.h"
#include "NetFixture.h"
#include "base/Director.h"
#include "net/CoursewareManager.h"
#include "net/DownManager.h"
#include "net/FileManager.h"
#include "net/SqManager.h"
#include "support/Headless.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFirst = "0101010101";
constexpr const char* kSecond = "0101010102";
// One tick of the queue per frame.
constexpr float kTick = 0.1f;

struct Progress {
    std::string identifier;
    double received = 0;
    double expected = 0;
};

class CoursewareQueue : public nettest::NetFolderTest {
protected:
    void SetUp() override {
        support::startHeadless();
        NetFolderTest::SetUp();
        CoursewareManager::destroyInstance();
        SqManager::getInstance()->init();
        SqManager::getInstance()->initCoursewareTable();
        ASSERT_GT(server.start(0), 0);
        manager()->progressCallback = [this](const std::string& id, double received, double expected) {
            progress.push_back({id, received, expected});
        };
        manager()->finishCallback = [this](const std::string& path, const std::string& id) {
            finished.push_back(id);
            EXPECT_EQ(path, netRes() + id + ".zip");
        };
    }
    void TearDown() override {
        DownManager::setSlowTransferLimit(1024, 30.f);
        DownManager::setWholeTimeScale(1);
        CoursewareManager::destroyInstance();
        support::stopHeadless();
        NetFolderTest::TearDown();
    }

    static CoursewareManager* manager() { return CoursewareManager::getInstance(); }
    std::string packageUrl(const std::string& identify, const std::string& route = "") const {
        return server.origin() + "/files/" + route + "courseware/" + identify + ".zip";
    }
    static CoursewareData lecture(const std::string& identify, bool downloaded, const std::string& version) {
        CoursewareData record;
        record.Identify = identify;
        record.LectureName = "Lecture " + identify;
        record.Version = version;
        record.downloaded = downloaded;
        record.state = downloaded ? 4 : 2;
        return record;
    }
    // The package in the current list and in grade 1's list, as a lecture scene shows it.
    void show(const CoursewareData& record) {
        manager()->currentList.push_back(record);
        manager()->getCoursewareList(1).push_back(record);
    }
    void queue(const std::string& identify, const std::string& url) {
        manager()->addDownloadTask({identify, url, "", ""});
    }
    // A transfer takes real time however fast the ticks go.
    static bool step(const std::function<bool()>& condition) {
        return support::waitFor(condition, support::kWaitGuardSeconds, kTick);
    }
    int errorsOf(const std::string& identify) const {
        return countLogLines("CoursewareManager::onTaskError : " + identify);
    }

    courseware::CoursewareServer server;
    std::vector<Progress> progress;
    std::vector<std::string> finished;
};

} // namespace

TEST_F(CoursewareQueue, KeepsOneEntryPerKeyAndDropsUnusableRecords) {
    queue(kFirst, packageUrl(kFirst));
    queue(kFirst, packageUrl(kSecond));
    queue(kSecond, "");
    queue("../../etc", packageUrl(kSecond));
    queue("", packageUrl(kSecond));
    // Codes outside 0 to 99 (lecture -1, lecture 100): such a zip would be extracted into NetRes/ itself.
    for (const char* identify : {"01010101-1", "01010101100", "0101010a01"}) {
        queue(identify, packageUrl(kSecond));
    }
    ASSERT_EQ(manager()->queue.size(), 1u);
    EXPECT_EQ(manager()->queue[0].url, packageUrl(kFirst));
    EXPECT_EQ(countLogLines("without a usable address or name dropped"), 6);
}

TEST_F(CoursewareQueue, DownloadsExtractsAndRecordsAPackage) {
    show(lecture(kFirst, false, "3"));
    queue(kFirst, packageUrl(kFirst));
    ASSERT_TRUE(step([&] { return !finished.empty(); }));
    EXPECT_EQ(finished, std::vector<std::string>{kFirst});
    EXPECT_TRUE(manager()->queue.empty());
    EXPECT_EQ(manager()->busy, 0);
    const double size = static_cast<double>(
        fs::file_size(courseware::CoursewareServer::defaultDataDir() / "files/courseware/0101010101.zip"));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().identifier, kFirst);
    EXPECT_EQ(progress.back().received, size);
    EXPECT_EQ(progress.back().expected, size);

    const CoursewareData shown = manager()->getCourseware(kFirst);
    EXPECT_TRUE(shown.downloaded);
    EXPECT_EQ(shown.state, 1);
    EXPECT_EQ(manager()->getCoursewareList(1)[0].state, 1);
    EXPECT_EQ(SqManager::getInstance()->getCoursewareByIdentify(kFirst).Version, "3");

    // Reported when the package is in place.
    EXPECT_TRUE(readsAsReady(kFirst));
    EXPECT_TRUE(fs::exists(netRes() + kFirst + "/Topic.plist"));
    EXPECT_FALSE(fs::exists(netRes() + kFirst + ".zip"));
}

// The teacher moves to another grade's list while a package downloads: it is still recorded when in place.
TEST_F(CoursewareQueue, PackageLeftBehindByAnotherListIsStillRecorded) {
    show(lecture(kFirst, false, "3"));
    queue(kFirst, packageUrl(kFirst));
    manager()->currentList.clear();
    ASSERT_TRUE(step([&] { return !finished.empty(); }));
    EXPECT_EQ(SqManager::getInstance()->getCoursewareByIdentify(kFirst).Version, "3");
    EXPECT_EQ(manager()->getCoursewareList(1)[0].state, 1);
    EXPECT_TRUE(readsAsReady(kFirst));
}

TEST_F(CoursewareQueue, ProgressWithoutKnownSizeReadsZero) {
    queue(kFirst, packageUrl(kFirst, "chunked/"));
    ASSERT_TRUE(step([&] { return !finished.empty(); }));
    ASSERT_FALSE(progress.empty());
    for (const Progress& report : progress) {
        EXPECT_EQ(report.received, 0.0);
        EXPECT_EQ(report.expected, 1.0);
    }
}

TEST_F(CoursewareQueue, FailedPackageWaitsLongerEachTimeWithoutBlockingOthers) {
    show(lecture(kFirst, false, "1"));
    show(lecture(kSecond, false, "1"));
    queue(kSecond, packageUrl(kSecond, "missing/"));
    queue(kFirst, packageUrl(kFirst));

    ASSERT_TRUE(step([&] { return errorsOf(kSecond) == 1; }));
    // 5 s after the first failure, then 10 s after the second; the frames are ticks of 0.1 s.
    int frames = 0;
    ASSERT_TRUE(step([&] { return ++frames, errorsOf(kSecond) == 2; }));
    EXPECT_GE(frames * kTick, 5.0f - kTick);
    frames = 0;
    ASSERT_TRUE(step([&] { return ++frames, errorsOf(kSecond) == 3; }));
    EXPECT_GE(frames * kTick, 10.0f - kTick);
    ASSERT_TRUE(step([&] { return !finished.empty(); }));
    EXPECT_EQ(finished, std::vector<std::string>{kFirst});
    EXPECT_EQ(manager()->getCourseware(kSecond).state, 2);
    ASSERT_EQ(manager()->queue.size(), 1u);
    EXPECT_EQ(manager()->queue[0].key, kSecond);
    EXPECT_FALSE(SqManager::getInstance()->getCoursewareByIdentify(kSecond).downloaded);
    EXPECT_FALSE(fs::exists(netRes() + kSecond + ".zip"));
}

TEST_F(CoursewareQueue, ATrickleIsCutAndWaitsForItsRetry) {
    // 640 bytes a second: below 1,024 over half a second (30 s in use), or past the whole time of its length at a
    // thousandth of the one in use (60 ms and the package's "size" at 64 MiB a second).
    const struct {
        uint32_t slowBytesPerSecond;
        float slowSeconds;
        double wholeTimeScale;
        const char* identify;
        const char* line;
    } rows[] = {{1024, 0.5f, 1, kFirst, "fewer than 1024 bytes a second"},
                {0, 0.f, 0.001, kSecond, "still running after 0.06"}};
    for (const auto& row : rows) {
        DownManager::setSlowTransferLimit(row.slowBytesPerSecond, row.slowSeconds);
        DownManager::setWholeTimeScale(row.wholeTimeScale);
        manager()->init();
        show(lecture(row.identify, false, "1"));
        queue(row.identify, packageUrl(row.identify, "trickle/"));
        const auto start = std::chrono::steady_clock::now();
        const bool cut = step([&] { return errorsOf(row.identify) == 1; });
        DownManager::setSlowTransferLimit(1024, 30.f);
        DownManager::setWholeTimeScale(1);
        ASSERT_TRUE(cut) << row.line;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
        EXPECT_EQ(countLogLines(row.line), 1);
        // Back in the queue, waiting like any failed package.
        ASSERT_EQ(manager()->queue.size(), 1u);
        support::stepFrames(10, kTick);
        EXPECT_EQ(errorsOf(row.identify), 1);
        EXPECT_EQ(manager()->busy, 0);
        EXPECT_TRUE(finished.empty());
        EXPECT_FALSE(fs::exists(netRes() + row.identify + ".zip"));
    }
}

TEST_F(CoursewareQueue, EndlessBodiesLongRedirectsAndOtherSchemesFailAndWait) {
    // An endless body and a redirect loop, each stopped before its retry; an address that is not the server's is
    // never read.
    const char* const third = "0101010103";
    for (const char* identify : {kFirst, kSecond, third}) {
        CoursewareData record = lecture(identify, false, "1");
        record.ResSize = 1 << 20;
        show(record);
    }
    queue(kFirst, server.origin() + "/fault/endless/files/" + kFirst + ".zip");
    queue(kSecond, server.origin() + "/fault/redirect/files/" + kSecond + ".zip");
    queue(third, "file:///dev/zero");
    // Each checked as its first failure arrives: the ticks run the clock fast enough for a retry meanwhile.
    bool firstSeen = false, cutAndRemoved = false;
    long redirects = -1;
    ASSERT_TRUE(step([&] {
        if (errorsOf(kFirst) == 1 && std::exchange(firstSeen, true) == false) {
            // The size and a quarter, at least 4 MB more.
            cutAndRemoved = countLogLines("longer than 5242880 bytes") == 1 &&
                            !fs::exists(netRes() + kFirst + ".zip") && !fs::exists(netRes() + kFirst + ".zip.tmp");
        }
        if (errorsOf(kSecond) == 1 && redirects < 0) {
            const auto requests = server.requests();
            redirects =
                std::count_if(requests.begin(), requests.end(), [](const auto& r) { return r.name == "redirect"; });
        }
        return errorsOf(kFirst) >= 1 && errorsOf(kSecond) >= 1 && errorsOf(third) >= 1;
    }));
    EXPECT_TRUE(cutAndRemoved);
    EXPECT_EQ(redirects, 6); // at most five redirects followed
    EXPECT_TRUE(
        std::none_of(progress.begin(), progress.end(), [&](const Progress& p) { return p.identifier == third; }));
    EXPECT_EQ(manager()->queue.size(), 3u);
    EXPECT_TRUE(finished.empty());
}

TEST_F(CoursewareQueue, PackageThatCannotBeExtractedNeverReadsAsReadyAndIsTriedAgain) {
    show(lecture(kFirst, false, "1"));
    // A picture where the zip should be, and a zip of 3 GB of zeros in 3 MB: each downloads, but does not extract.
    const std::string bad[] = {"/files/logo/riverside_logo.png", "/fault/zipbomb/files/" + std::string(kFirst) + ".zip"};
    queue(kFirst, server.origin() + bad[0]);
    const auto failures = [&] { return countLogLines("package " + std::string(kFirst) + " could not be extracted"); };
    for (int n = 1; n <= 2; ++n) {
        ASSERT_TRUE(step([&] { return failures() == n; }));
        EXPECT_TRUE(finished.empty());
        EXPECT_EQ(manager()->getCourseware(kFirst).state, 2);
        EXPECT_FALSE(manager()->getCourseware(kFirst).downloaded);
        EXPECT_FALSE(SqManager::getInstance()->getCoursewareByIdentify(kFirst).downloaded);
        EXPECT_FALSE(fs::exists(netRes() + kFirst));
        ASSERT_EQ(manager()->queue.size(), 1u);
        manager()->queue[0].url = n == 1 ? server.origin() + bad[1] : packageUrl(kFirst);
    }
    EXPECT_EQ(countLogLines("more than the"), 1);

    // Tried again after the queue's wait, in the same session; a good package then completes.
    int frames = 0;
    ASSERT_TRUE(step([&] { return ++frames, !finished.empty(); }));
    EXPECT_GE(frames * kTick, 5.0f - kTick);
    EXPECT_EQ(manager()->getCourseware(kFirst).state, 1);
    EXPECT_TRUE(readsAsReady(kFirst));
}

TEST_F(CoursewareQueue, UpdateReplacesTheOldVersionAndItsRow) {
    SqManager::getInstance()->insertCourseware(lecture(kFirst, true, "1"));
    fs::create_directories(netRes() + kFirst);
    std::ofstream(netRes() + kFirst + "/Stale.plist") << "old";
    show(lecture(kFirst, true, "2"));

    queue(kFirst, packageUrl(kFirst));
    ASSERT_TRUE(step([&] { return !finished.empty(); }));
    EXPECT_EQ(SqManager::getInstance()->getCoursewareByIdentify(kFirst).Version, "2");
    EXPECT_EQ(manager()->getCourseware(kFirst).state, 1);
    EXPECT_TRUE(readsAsReady(kFirst));
    EXPECT_TRUE(fs::exists(netRes() + kFirst + "/Topic.plist"));
    EXPECT_FALSE(fs::exists(netRes() + kFirst + "/Stale.plist"));
}

TEST_F(CoursewareQueue, FailedUpdateKeepsTheWorkingPackage) {
    SqManager::getInstance()->insertCourseware(lecture(kFirst, true, "1"));
    fs::create_directories(netRes() + kFirst);
    std::ofstream(netRes() + kFirst + "/Topic.plist") << "working";
    show(lecture(kFirst, true, "2"));

    queue(kFirst, packageUrl(kFirst, "missing/"));
    ASSERT_TRUE(step([&] { return errorsOf(kFirst) == 1; }));
    support::stepFrames(3, kTick);
    EXPECT_TRUE(finished.empty());
    EXPECT_TRUE(readsAsReady(kFirst));
    EXPECT_EQ(SqManager::getInstance()->getCoursewareByIdentify(kFirst).Version, "1");
    std::ifstream in(netRes() + kFirst + "/Topic.plist");
    std::string text;
    in >> text;
    EXPECT_EQ(text, "working");
}
