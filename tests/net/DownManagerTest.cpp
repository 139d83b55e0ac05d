// The single-file download service against the demo server: percentages, head images, failures, and which caller
// a late file reports to.
#include <chrono>
#include <filesystem>

#include "CoursewareServer.h"
#include "base/Director.h"
#include "base/InputLimits.h"
#include "net/NetLimits.h"
#include "net/DownManager.h"
#include "platform/FileUtils.h"
#include "support/ClientTest.h"
#include "support/GateServer.h"
#include "support/Headless.h"
#include "support/LocalHttpServer.h"

namespace fs = std::filesystem;

namespace {

struct Finish {
    std::string path;
    bool succeeded = false;
    bool operator==(const Finish&) const = default;
};

using support::GateServer;
using support::LocalHttpServer;

class DownManagerTest : public support::ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        DownManager::destroyInstance();
    }
    void TearDown() override {
        DownManager::setWholeTimeScale(1);
        DownManager::setSlowTransferLimit(engine::limits::kSlowTransferBytesPerSecond,
                                          engine::limits::kSlowTransferSeconds);
        DownManager::destroyInstance();
        ClientTest::TearDown();
    }

    std::string fileUrl(const std::string& path) const { return server.origin() + "/files/" + path; }
    static DownManager* down() { return DownManager::getInstance(); }

    // Starts record and then assigns callbacks that collect into finishes (and percents), as the overlay does.
    void startCollecting(const DownloadRecord& record, std::vector<Finish>& finishes,
                         std::vector<int>* percents = nullptr) {
        down()->downloadFile(record);
        down()->finishCallback = [&finishes](const std::string& path, bool ok) { finishes.push_back({path, ok}); };
        down()->progressCallback = [percents](int percent) {
            if (percents) {
                percents->push_back(percent);
            }
        };
    }
    DownloadRecord record(const std::string& url, const std::string& name) const {
        return {"", url, scratch.file(name), ".bin"};
    }
};

} // namespace

TEST(DownloadPercent, IsTruncatedAndZeroWithoutKnownSize) {
    EXPECT_EQ(DownManager::percentOf(1000, 2000), 50);
    EXPECT_EQ(DownManager::percentOf(1999, 2000), 99);
    EXPECT_EQ(DownManager::percentOf(2000, 2000), 100);
    EXPECT_EQ(DownManager::percentOf(500, 0), 0);
    EXPECT_EQ(DownManager::percentOf(500, -1), 0);
}

TEST_F(DownManagerTest, ATrickleStopsAtTheWholeTimeOfItsKind) {
    // 13,100 of 16,000,000 announced bytes a second: a picture's whole time is fixed, any other file's grows with its
    // length. Times are a two-hundredth of those in use: 0.6 s for a picture, 0.3 s and 1 s a 13,107,200 bytes.
    LocalHttpServer trickle([&](httplib::Server& s) {
        s.Get(R"(/(.+))", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(16000000, "application/octet-stream",
                                     [&](size_t, size_t, httplib::DataSink& sink) {
                                         trickle.waitUntilStopping(std::chrono::milliseconds(10));
                                         return sink.write(std::string(131, 'x').data(), 131);
                                     });
        });
    });
    DownManager::setSlowTransferLimit(0, 0.f);
    DownManager::setWholeTimeScale(1.0 / 200);
    const std::pair<const char*, double> kinds[] = {{"icon.PNG", 0.6}, {"voice.ogg", 0.6}, {"lesson.mp4", 1.52}};
    for (const auto& [name, cutAfter] : kinds) {
        std::vector<Finish> finishes;
        const auto start = std::chrono::steady_clock::now();
        startCollecting(record(trickle.url(std::string("/") + name), name), finishes);
        ASSERT_TRUE(waitFor([&] { return !finishes.empty(); }));
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(finishes, (std::vector<Finish>{{scratch.file(name), false}}));
        EXPECT_GE(took, cutAfter) << name;
        EXPECT_LT(took, cutAfter + 5) << name;
    }
    EXPECT_EQ(countLogged("failed: still running after"), 3);
}

TEST_F(DownManagerTest, ReportsPercentsUpToTheWholeFile) {
    std::vector<Finish> finishes;
    std::vector<int> percents;
    startCollecting(record(fileUrl("courseware/0101010101.zip"), "pack.zip"), finishes, &percents);
    ASSERT_TRUE(waitFor([&] { return !finishes.empty(); }));
    EXPECT_EQ(finishes, (std::vector<Finish>{{scratch.file("pack.zip"), true}}));
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(fs::file_size(scratch.file("pack.zip")),
              fs::file_size(courseware::CoursewareServer::defaultDataDir() / "files/courseware/0101010101.zip"));
}

TEST_F(DownManagerTest, ReportsZeroWhenTheServerSendsNoLength) {
    std::vector<Finish> finishes;
    std::vector<int> percents;
    startCollecting(record(fileUrl("chunked/courseware/0101010101.zip"), "pack.zip"), finishes, &percents);
    ASSERT_TRUE(waitFor([&] { return !finishes.empty(); }));
    EXPECT_TRUE(finishes[0].succeeded);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(std::count(percents.begin(), percents.end(), 0), static_cast<long>(percents.size()));
}

TEST_F(DownManagerTest, HeadImageTakesTheAddressNameAndASafeExtension) {
    const std::string heads = programFolder() + "res/HeadImgs/";
    std::vector<std::string> paths;
    down()->finishCallback = [&](const std::string& path, bool ok) {
        EXPECT_TRUE(ok);
        paths.push_back(path);
    };
    down()->downloadHeadImage(fileUrl("heads/p1001.png"), ".jpg");
    ASSERT_TRUE(waitFor([&] { return paths.size() == 1; }));
    down()->downloadHeadImage(fileUrl("heads/p1002.png"), "/../../p1002.sh");
    ASSERT_TRUE(waitFor([&] { return paths.size() == 2; }));
    down()->downloadHeadImage(fileUrl("heads/p1003.png"), ".averylongext");
    ASSERT_TRUE(waitFor([&] { return paths.size() == 3; }));
    EXPECT_EQ(paths, (std::vector<std::string>{heads + "p1001.jpg", heads + "p1002.png", heads + "p1003.png"}));
    for (const std::string& path : paths) {
        EXPECT_EQ(fs::file_size(path), fs::file_size(courseware::CoursewareServer::defaultDataDir() /
                                                     ("files/heads/" + fs::path(path).stem().string() + ".png")));
    }
}

TEST_F(DownManagerTest, FailedFileFinishesAsFailedAfterTheLogLine) {
    std::vector<Finish> finishes;
    int logLinesAtFinish = -1;
    down()->downloadHeadImage(fileUrl("missing/heads/p1001.png"), ".png");
    down()->finishCallback = [&](const std::string& path, bool ok) {
        finishes.push_back({path, ok});
        logLinesAtFinish = countLogged("onTaskError : p1001: ");
    };
    ASSERT_TRUE(waitFor([&] { return !finishes.empty(); }));
    support::stepFrames(3);
    const std::string path = programFolder() + "res/HeadImgs/p1001.png";
    EXPECT_EQ(finishes, (std::vector<Finish>{{path, false}}));
    EXPECT_EQ(logLinesAtFinish, 1);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(DownManagerTest, EmptyAddressIsRefusedAndFinishesInALaterFrame) {
    std::vector<Finish> finishes;
    startCollecting(record("", "nothing.bin"), finishes);
    EXPECT_TRUE(finishes.empty());
    EXPECT_EQ(countLogged("DownManager: no address"), 1);
    support::stepFrames(1);
    EXPECT_EQ(finishes, (std::vector<Finish>{{scratch.file("nothing.bin"), false}}));
    // A chain that starts again from its finish callback advances one file a frame, never recursing.
    int depth = 0;
    int calls = 0;
    std::function<void()> again = [&] {
        down()->downloadFile(record("", "nothing.bin"));
        down()->finishCallback = [&](const std::string&, bool) {
            ++depth;
            ++calls;
            EXPECT_EQ(depth, 1);
            if (calls < 3) {
                again();
            }
            --depth;
        };
    };
    again();
    support::stepFrames(5);
    EXPECT_EQ(calls, 3);
}

TEST_F(DownManagerTest, LateFileReportsToTheCallbacksAssignedForIt) {
    GateServer gate;
    std::vector<Finish> first;
    std::vector<Finish> second;
    // Both callers assign right after their start, in the same frame.
    startCollecting(record(gate.url(), "held.bin"), first);
    startCollecting(record(fileUrl("heads/p1001.png"), "quick.png"), second);
    ASSERT_TRUE(waitFor([&] { return !second.empty(); }));
    EXPECT_TRUE(first.empty());
    gate.open();
    ASSERT_TRUE(waitFor([&] { return !first.empty(); }));
    support::stepFrames(3);
    EXPECT_EQ(first, (std::vector<Finish>{{scratch.file("held.bin"), true}}));
    EXPECT_EQ(second, (std::vector<Finish>{{scratch.file("quick.png"), true}}));
}

TEST_F(DownManagerTest, LateFileIgnoresCallbacksAssignedBeforeALaterStart) {
    GateServer gate;
    std::vector<Finish> logo;
    std::vector<std::string> heads;
    startCollecting(record(gate.url(), "logo.png"), logo);
    support::stepFrames(2);
    // A head-image chain assigns its callback before it starts.
    down()->finishCallback = [&](const std::string& path, bool) { heads.push_back(path); };
    down()->downloadHeadImage(fileUrl("heads/p1002.png"), ".png");
    ASSERT_TRUE(waitFor([&] { return !heads.empty(); }));
    gate.open();
    ASSERT_TRUE(waitFor([&] { return !logo.empty(); }));
    support::stepFrames(3);
    EXPECT_EQ(logo, (std::vector<Finish>{{scratch.file("logo.png"), true}}));
    EXPECT_EQ(heads, (std::vector<std::string>{programFolder() + "res/HeadImgs/p1002.png"}));
}

TEST_F(DownManagerTest, UpdaterPackageIsExtractedBesideIt) {
    std::vector<Finish> finishes;
    down()->finishCallback = [&](const std::string& path, bool ok) { finishes.push_back({path, ok}); };
    const std::string zip = programFolder() + "QuorvelUpdate.zip";
    down()->downloadUpdater({"", fileUrl("updater/QuorvelUpdate.zip"), zip, ".zip"});
    ASSERT_TRUE(waitFor([&] { return fs::exists(programFolder() + "QuorvelWinUpdate.exe"); }));
    EXPECT_TRUE(waitFor([&] { return !fs::exists(zip); }));
    EXPECT_TRUE(finishes.empty());
}
