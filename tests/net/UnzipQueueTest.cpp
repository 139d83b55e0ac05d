#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "NetFixture.h"
#include "ZipBuilder.h"
#include "base/Director.h"
#include "common/FileManager.h"
#include "net/SqManager.h"
#include "net/ZipUnpacker.h"
#include "support/Headless.h"

namespace fs = std::filesystem;
using nettest::ZipItem;

namespace {

constexpr const char* kIdentify = "0102030104";

class UnzipQueue : public nettest::NetFolderTest {
protected:
    void SetUp() override {
        NetFolderTest::SetUp();
        FileManager::getInstance()->getNetResPath();
        SqManager::getInstance()->init();
        SqManager::getInstance()->initCoursewareTable();
    }
    void TearDown() override {
        ZipUnpacker::setEntryHook(nullptr);
        ZipUnpacker::setSwapHook(nullptr);
        NetFolderTest::TearDown();
    }
    // Ticks until the queue has handed back every zip queued through queueZip.
    void tickUntilDone() {
        ASSERT_TRUE(support::waitFor([&] { return results.size() == queued; }, 30, 0.1f));
    }
    void queueZip(const std::string& path) {
        ++queued;
        SqManager::getInstance()->addUnzipTask(path, [this](const std::string& zipPath, bool ok) {
            results.push_back({zipPath, ok});
        });
    }

    // A version of the package: count files under its identify folder, as the server serves it.
    std::string packageZip(int count, const std::string& version, bool corruptLast = false) {
        std::vector<ZipItem> items;
        for (int i = 0; i < count; ++i) {
            ZipItem item;
            item.name = std::string(kIdentify) + "/" + version + "/f" + std::to_string(i) + ".txt";
            item.data = version + std::to_string(i);
            item.wrongCrc = corruptLast && i == count - 1;
            items.push_back(item);
        }
        const std::string path = netRes() + kIdentify + ".zip";
        EXPECT_TRUE(nettest::writeZip(path, items));
        return path;
    }
    void writeRow(const std::string& hash) {
        CoursewareData record;
        record.Identify = kIdentify;
        record.Hash = hash;
        SqManager::getInstance()->updateCourseware(record);
    }
    // The files of the package folder, "" when it is missing.
    std::vector<std::string> packageTree() { return nettest::listTree(netRes() + kIdentify); }
    static std::vector<std::string> versionTree(int count, const std::string& version) {
        std::vector<std::string> tree = {version + "/"};
        for (int i = 0; i < count; ++i) {
            tree.push_back(version + "/f" + std::to_string(i) + ".txt");
        }
        std::sort(tree.begin(), tree.end());
        return tree;
    }

    size_t queued = 0;
    std::vector<std::pair<std::string, bool>> results;
};

std::string simpleZip(const std::string& path, const std::string& entry) {
    ZipItem item;
    item.name = entry;
    item.data = entry;
    EXPECT_TRUE(nettest::writeZip(path, {item}));
    return path;
}

} // namespace

TEST_F(UnzipQueue, OneZipAtATimeInQueueOrderEachDeletedBeforeItsResult) {
    const std::string first = simpleZip(netRes() + "first.zip", "one/a.txt");
    const std::string second = simpleZip(programFolder() + "second.zip", "two/b.txt");
    bool secondStartedEarly = true;
    SqManager::getInstance()->addUnzipTask(first, [&](const std::string& path, bool ok) {
        results.push_back({path, ok});
        secondStartedEarly = fs::exists(programFolder() + "two") || !fs::exists(second);
        EXPECT_FALSE(fs::exists(first));
    });
    ++queued;
    queueZip(second);
    tickUntilDone();
    EXPECT_EQ(results, (std::vector<std::pair<std::string, bool>>{{first, true}, {second, true}}));
    EXPECT_FALSE(secondStartedEarly);
    EXPECT_EQ(nettest::readFile(netRes() + "one/a.txt"), "one/a.txt");
    EXPECT_EQ(nettest::readFile(programFolder() + "two/b.txt"), "two/b.txt");
    EXPECT_FALSE(fs::exists(second));
    EXPECT_EQ(countLogLines("start uncompressing"), 2);
    EXPECT_EQ(countLogLines("end uncompressing"), 2);
}

// The program's end comes while a package is extracted: the extraction ends before the program's state goes.
TEST_F(UnzipQueue, ExtractionRunsWhileTheFramesGoOnAndTheProgramsEndWaitsForIt) {
    std::atomic<bool> release{false};
    ZipUnpacker::setEntryHook([&](int) {
        while (!release) {
            std::this_thread::yield();
        }
    });
    queueZip(packageZip(3, "v1"));
    support::stepFrames(5, 0.1f);
    EXPECT_TRUE(SqManager::getInstance()->isUnzipping());
    EXPECT_TRUE(results.empty());
    release = true;
    tickUntilDone();
    EXPECT_TRUE(results[0].second);
    EXPECT_FALSE(SqManager::getInstance()->isUnzipping());

    release = false;
    queueZip(packageZip(500, "v2"));
    ASSERT_TRUE(support::stepUntil([] { return SqManager::getInstance()->isUnzipping(); }, 10, 0.1f));
    release = true;
    engine::Director::getInstance()->reset();
    EXPECT_EQ(packageTree(), versionTree(500, "v2"));
    support::startHeadless();
}

TEST_F(UnzipQueue, UpdateReplacesThePackageWholeAndAFailedOneLeavesTheOldWhole) {
    queueZip(packageZip(5, "v1"));
    tickUntilDone();
    writeRow("v1");
    EXPECT_EQ(packageTree(), versionTree(5, "v1"));

    queueZip(packageZip(5, "v2", true));
    tickUntilDone();
    EXPECT_FALSE(results.back().second);
    EXPECT_EQ(packageTree(), versionTree(5, "v1"));
    EXPECT_EQ(SqManager::getInstance()->getCoursewareByIdentify(kIdentify).Hash, "v1");
    EXPECT_FALSE(fs::exists(netRes() + kIdentify + ".zip"));

    queueZip(packageZip(4, "v2"));
    tickUntilDone();
    EXPECT_TRUE(results.back().second);
    EXPECT_EQ(packageTree(), versionTree(4, "v2"));
    EXPECT_EQ(nettest::listTree(netRes()),
              (std::vector<std::string>{"0102030104/", "0102030104/v2/", "0102030104/v2/f0.txt", "0102030104/v2/f1.txt",
                                        "0102030104/v2/f2.txt", "0102030104/v2/f3.txt", "LocalData.db"}));
}

TEST_F(UnzipQueue, PackageWritesOnlyIntoItsOwnFolder) {
    const std::string path = netRes() + kIdentify + ".zip";
    ASSERT_TRUE(nettest::writeZip(path, {nettest::item(std::string(kIdentify) + "/Topic.plist", "topic"),
                                         nettest::item("LocalData.db", "overwritten"),
                                         nettest::item("0102030105/Topic.plist", "another package"),
                                         nettest::item(std::string(kIdentify) + "x/a.txt", "beside")}));
    writeRow("h");
    queueZip(path);
    tickUntilDone();
    EXPECT_TRUE(results[0].second);
    EXPECT_EQ(nettest::readFile(netRes() + kIdentify + "/Topic.plist"), "topic");
    EXPECT_TRUE(SqManager::getInstance()->getCoursewareByIdentify(kIdentify).downloaded);
    EXPECT_FALSE(fs::exists(netRes() + "0102030105"));
    EXPECT_FALSE(fs::exists(netRes() + kIdentify + "x"));
    EXPECT_EQ(countLogLines("outside " + std::string(kIdentify) + "/"), 3);
}

TEST_F(UnzipQueue, FailedZipOutsideTheCoursewareFolderLeavesTheDatabaseAlone) {
    writeRow("h");
    const std::string path = programFolder() + kIdentify + ".zip";
    nettest::writeFile(path, "not a zip");
    queueZip(path);
    tickUntilDone();
    EXPECT_FALSE(results[0].second);
    EXPECT_TRUE(SqManager::getInstance()->getCoursewareByIdentify(kIdentify).downloaded);
    EXPECT_FALSE(fs::exists(path));
}

// An update of a 161-file package killed at 14 moments from the first entry written to the row written: after
// the next start the package is the whole old or the whole new version, the row never ahead of the files, and
// the update done again completes. Each round updates the version the round before installed.
TEST_F(UnzipQueue, KilledUpdateLeavesTheWholeOldOrTheWholeNewPackage) {
    constexpr int kFiles = 161;
    // Where the child stops: after that many entries written, or at a named step of the swap and the row.
    std::vector<std::pair<int, std::string>> moments;
    for (int entries : {1, 40, 80, 120, 158, 160, kFiles}) {
        moments.push_back({entries, ""});
    }
    for (const char* step : {"started", "staged", "aside", "in place", "old removed", "done", "row"}) {
        moments.push_back({0, step});
    }
    ASSERT_EQ(moments.size(), 14u);
    // Versions alternate in size, so that a mix of two shows.
    auto filesOf = [](int version) { return kFiles - 2 * (version % 2); };
    auto nameOf = [](int version) { return "v" + std::to_string(version); };

    int installed = 0;
    queueZip(packageZip(filesOf(installed), nameOf(installed)));
    tickUntilDone();
    writeRow(nameOf(installed));
    for (const auto& [entries, step] : moments) {
        SCOPED_TRACE(step.empty() ? std::to_string(entries) + " entries" : step);
        const int next = installed + 1;
        const std::string zip = packageZip(filesOf(next), nameOf(next));

        SqManager::getInstance()->closeDatabase();
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto stop = [&] {
                const char signal = 'k';
                (void)!write(pipeFds[1], &signal, 1);
                for (;;) {
                    pause();
                }
            };
            ZipUnpacker::setEntryHook([&, last = std::min(entries, filesOf(next))](int done) {
                if (done == last) {
                    stop();
                }
            });
            int swapSteps = 0;
            ZipUnpacker::setSwapHook([&, step = step] {
                const char* order[] = {"staged", "aside", "in place", "old removed"};
                if (step == order[swapSteps++]) {
                    stop();
                }
            });
            SqManager* db = SqManager::getInstance();
            bool finished = false;
            db->addUnzipTask(zip, [&, step = step](const std::string&, bool ok) {
                if (step == "done") {
                    stop();
                }
                if (ok) {
                    writeRow(nameOf(next));
                }
                finished = true;
            });
            db->updateUnzip(0.1f);
            if (step == "started") {
                stop();
            }
            while (!finished) {
                db->updateUnzip(0.1f);
            }
            if (step == "row") {
                stop();
            }
            _exit(3);
        }
        close(pipeFds[1]);
        char signal = 0;
        const ssize_t got = read(pipeFds[0], &signal, 1);
        close(pipeFds[0]);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_EQ(got, 1);
        ASSERT_TRUE(WIFSIGNALED(status));

        // The next start.
        SqManager::getInstance()->init();
        SqManager::getInstance()->initCoursewareTable();
        const std::string hash = SqManager::getInstance()->getCoursewareByIdentify(kIdentify).Hash;
        const std::vector<std::string> tree = packageTree();
        const bool wholeOld = tree == versionTree(filesOf(installed), nameOf(installed));
        const bool wholeNew = tree == versionTree(filesOf(next), nameOf(next));
        EXPECT_TRUE(wholeOld || wholeNew) << tree.size() << " files";
        EXPECT_TRUE(hash == nameOf(installed) || (hash == nameOf(next) && wholeNew)) << hash;
        for (const auto& entry : fs::directory_iterator(netRes())) {
            EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
        }

        // Done again, the update completes.
        queueZip(packageZip(filesOf(next), nameOf(next)));
        tickUntilDone();
        ASSERT_TRUE(results.back().second);
        writeRow(nameOf(next));
        EXPECT_EQ(packageTree(), versionTree(filesOf(next), nameOf(next)));
        EXPECT_TRUE(readsAsReady(kIdentify));
        installed = next;
    }
}
